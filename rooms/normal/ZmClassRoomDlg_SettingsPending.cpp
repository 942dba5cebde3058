#include "rooms/normal/ZmClassRoomDlg.h"

void ZmClassRoomDlg::onTitleBar_SettingBtn_Clicked() {}

void ZmClassRoomDlg::onSettingsAccepted(QObject*, int) {}
