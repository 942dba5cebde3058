#pragma once

// Results of an offline lesson package download and of a courseware import.
enum OfflineLessonResult : int
{
    OfflineLesson_Success = 0,              // downloaded, checked and unpacked
    OfflineLesson_NotRun = 1,               // no run has finished yet
    OfflineLesson_ServiceFailed = -10,      // the service call for the package information failed
    OfflineLesson_DownloadFailed = -20,     // the transfer failed
    OfflineLesson_SizeMismatch = -31,       // the byte count differs from the service's archive size
    OfflineLesson_Md5Mismatch = -32,        // the MD5 differs from the service's MD5
    OfflineLesson_ArchiveWriteFailed = -41, // the archive file could not be written
    OfflineLesson_FolderFailed = -42,       // the resource folder could not be created (or its name is unusable)
    OfflineLesson_UnpackFailed = -43,       // unpacking reported an error
};
