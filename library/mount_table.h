#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace orvo {

// One line of /proc/self/mountinfo: the part of the file system mounted
// (root), where (mount_point), its type and its source (a device path for
// disks), with the kernel's octal escapes (\040 for a blank) undone.
struct MountEntry {
    std::string root;
    std::string mount_point;
    std::string file_system;
    std::string source;
};

// The lines of a mountinfo text; malformed lines are skipped.
std::vector<MountEntry> ParseMountInfo(std::string_view text);

// Kernel and memory file systems (proc, sysfs, tmpfs, cgroup, overlay,
// squashfs images of snaps...), which hold no recordings a user would open.
bool IsPseudoFileSystem(std::string_view file_system);

// Network shares, which the drive list never offered (case ignored).
bool IsNetworkFileSystem(std::string_view file_system);

// Where the system keeps its own mounts: /proc, /sys, /dev, /run (except
// /run/media), /boot, /efi, /snap.
bool IsSystemMountPoint(std::string_view mount_point);

// Where desktops and users mount cards and sticks: /media, /run/media, /mnt.
bool IsRemovableMountPlace(std::string_view mount_point);

// "sdb1" of "/dev/sdb1"; empty for a source outside /dev.
std::string BlockDeviceName(std::string_view source);

// A mounted volume a user would pick.
struct UserVolume {
    std::string mount_point;
    std::string file_system;
    bool removable = false;
};

// The volumes worth listing: pseudo file systems, network shares and
// system mount points left out, a mount point mounted over keeps only its last mount; removable
// ones first (mounted where cards go, or on a device that
// `removable_device` says is removable), then by mount point.
std::vector<UserVolume> UserVolumes(
    const std::vector<MountEntry>& mounts,
    const std::function<bool(const std::string&)>& removable_device);

// Whether /sys says the block device (a disk or one of its partitions) is
// removable.
bool IsRemovableBlockDevice(const std::string& device_name);

}  // namespace orvo
