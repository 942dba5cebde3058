#pragma once

#include <cstddef>
#include <string>

struct stat;

// Names of the shared frame sections. The program and the plug-in both speak of a section as
// "Local\RiREZadUruvoDur_" + view id and of its lock as that name + "_Event"; these functions turn such a name
// into the machine-wide POSIX object name. "Local\" names belong to one login session, POSIX names to the
// machine, so the user id goes into the object name (and objects are made with mode 0600): two users never meet.

constexpr char kShareSectionPrefix[] = "Local\\RiREZadUruvoDur_";
constexpr char kShareLockSuffix[] = "_Event";

// A section name is at most 127 characters, its lock name (with the suffix) at most 255.
constexpr size_t kMaxShareSectionNameLength = 127;
constexpr size_t kMaxShareLockNameLength = 255;
constexpr size_t kMaxShareViewIdLength = kMaxShareSectionNameLength - (sizeof(kShareSectionPrefix) - 1);

// A view id comes from web content: only 1 to kMaxShareViewIdLength letters, digits, '_' and '-'.
bool isValidShareViewId(const std::string& viewId);

// "Local\RiREZadUruvoDur_" + viewId, or an empty string (with a logged error) when the id is not valid.
std::string shareSectionName(const std::string& viewId);

// The lock's name for a section name.
std::string shareLockName(const std::string& sectionName);

// A scope (the environment's ZM_SHARE_SCOPE: up to 16 letters, digits, '_' and '-') keeps one run's objects apart
// from another's of the same user; tests set it, the program and the plug-in it starts inherit it.
constexpr size_t kMaxShareScopeLength = 16;

// "zmquillo-<uid>-", or "zmquillo-<uid>-<scope>-" within a scope: every object of this user (and scope) starts so,
// without the leading '/'.
std::string shareObjectPrefix();

// The POSIX object name for a section or lock name: "/" + shareObjectPrefix() + the name without "Local\". False (with
// a logged error) for a name of anything but letters, digits, '_' and '-' after the optional "Local\", or longer than
// kMaxShareLockNameLength; false without a log line for a null or empty name.
bool sharePosixName(const char* name, std::string* posixName);

// Opens (flags as for shm_open, mode 0600 when created) the POSIX object posixName and checks that it belongs to
// this user; fills info. The object counts as in use for as long as the descriptor stays open (a shared flock),
// so the clean-up at program start leaves it alone; one that such a clean-up unlinked under the open is opened
// (or made) again. -1 when it cannot be opened, or (logged, naming it by name) belongs to another user.
int openOwnedShareObject(const std::string& posixName, int flags, const char* name, struct stat* info);

// Unlinks a section and its lock. Whoever has them open keeps them until it closes; a later create makes new ones.
void removeShareObjects(const std::string& sectionName);

// Unlinks the sections and locks of this user and exactly this scope (shareObjectPrefix() followed by the section
// name without "Local\") that no process has open. For program start: the single-instance guard does not keep out
// every copy that uses these names (a copy with another runtime folder shares them), so objects in use stay.
// Returns how many objects went.
int removeStaleShareObjects();
