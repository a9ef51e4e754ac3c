#pragma once

#include <QByteArray>
#include <functional>
#include <vector>

#include "platform/files/FileSystem.h"

namespace platform {

// What the drive table asks the system about block devices; tests replace it.
struct BlockDeviceProbe {
    // True for a removable device, given "major:minor" from the mount table.
    std::function<bool(const QByteArray& majorMinor)> IsRemovable;
    // The volume label of a device path such as "/dev/sdb1", or empty.
    std::function<QString(const QByteArray& device)> LabelOf;
};

// The probe that reads /sys/dev/block and /dev/disk/by-label.
BlockDeviceProbe SystemBlockDeviceProbe();

// Builds the drives a file manager would show from the text of
// /proc/self/mountinfo: C: for "/", then in mount-point order removable
// media, CD/DVD, network shares, RAM disks and other disks mounted under
// /media, /run/media or /mnt. The order makes the letters stable across runs
// as long as the same things are mounted.
std::vector<DriveInfo> ParseMountInfo(const QByteArray& mountInfo, const BlockDeviceProbe& probe);

// The drive table after the mount table changed, from the table before and
// the one ParseMountInfo reads now: a root still mounted keeps its letter, a
// root that has gone gives its letter up, and a new one takes the lowest
// free letter. So a letter stays with its mount for as long as it is mounted.
std::vector<DriveInfo> KeepLetters(const std::vector<DriveInfo>& previous,
                                   std::vector<DriveInfo> fresh);

// The text of the running system's mount table, /proc/self/mountinfo.
QByteArray ReadMountTable();
constexpr const char* kMountTablePath = "/proc/self/mountinfo";

}  // namespace platform
