#include "library/mount_table.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>

namespace orvo {

namespace {

// The kernel writes blank, tab, newline and backslash in paths as \ooo.
std::string Unescape(std::string_view field) {
    std::string text;
    text.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string_view digits = field.substr(i + 1, 3);
            if (std::all_of(digits.begin(), digits.end(),
                            [](char c) { return c >= '0' && c <= '7'; })) {
                text += static_cast<char>((digits[0] - '0') * 64 + (digits[1] - '0') * 8 +
                                          (digits[2] - '0'));
                i += 3;
                continue;
            }
        }
        text += field[i];
    }
    return text;
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t at = 0;
    while (at < line.size()) {
        const size_t start = line.find_first_not_of(' ', at);
        if (start == std::string_view::npos) break;
        const size_t end = std::min(line.find(' ', start), line.size());
        fields.push_back(line.substr(start, end - start));
        at = end;
    }
    return fields;
}

bool IsUnder(std::string_view path, std::string_view folder) {
    return path == folder ||
           (path.starts_with(folder) && path.size() > folder.size() && path[folder.size()] == '/');
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

}  // namespace

std::vector<MountEntry> ParseMountInfo(std::string_view text) {
    std::vector<MountEntry> mounts;
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        const std::vector<std::string_view> fields = Fields(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        // id parent major:minor root mount-point options [optional...] - type source super-options
        const auto separator = std::find(fields.begin(), fields.end(), std::string_view("-"));
        if (fields.size() < 6 || separator - fields.begin() < 6 || fields.end() - separator < 3) {
            continue;
        }
        MountEntry entry;
        entry.root = Unescape(fields[3]);
        entry.mount_point = Unescape(fields[4]);
        entry.file_system = Unescape(separator[1]);
        entry.source = Unescape(separator[2]);
        mounts.push_back(std::move(entry));
    }
    return mounts;
}

bool IsPseudoFileSystem(std::string_view file_system) {
    static constexpr std::array<std::string_view, 31> kPseudo = {
        "autofs",        "binfmt_misc", "bpf",        "cgroup",      "cgroup2",
        "configfs",      "debugfs",     "devpts",     "devtmpfs",    "efivarfs",
        "fusectl",       "hugetlbfs",   "mqueue",     "nsfs",        "overlay",
        "proc",          "pstore",      "ramfs",      "rootfs",      "rpc_pipefs",
        "securityfs",    "selinuxfs",   "squashfs",   "sysfs",       "tmpfs",
        "tracefs",       "nfsd",        "fuse.lxcfs", "fuse.portal", "fuse.gvfsd-fuse",
        "fuse.snapfuse",
    };
    return std::find(kPseudo.begin(), kPseudo.end(), file_system) != kPseudo.end();
}

bool IsNetworkFileSystem(std::string_view file_system) {
    static constexpr std::array<std::string_view, 14> kNetwork = {
        "nfs",   "nfs4",       "cifs", "smb3", "smbfs",     "sshfs", "fuse.sshfs",
        "davfs", "fuse.davfs", "afs",  "ceph", "glusterfs", "9p",    "ncpfs",
    };
    const std::string lower = Lower(file_system);
    return std::find(kNetwork.begin(), kNetwork.end(), lower) != kNetwork.end();
}

bool IsSystemMountPoint(std::string_view mount_point) {
    if (IsUnder(mount_point, "/run/media")) return false;
    static constexpr std::array<std::string_view, 7> kSystem = {
        "/proc", "/sys", "/dev", "/run", "/boot", "/efi", "/snap",
    };
    return std::any_of(kSystem.begin(), kSystem.end(), [mount_point](std::string_view folder) {
        return IsUnder(mount_point, folder);
    });
}

bool IsRemovableMountPlace(std::string_view mount_point) {
    return IsUnder(mount_point, "/media") || IsUnder(mount_point, "/run/media") ||
           IsUnder(mount_point, "/mnt");
}

std::string BlockDeviceName(std::string_view source) {
    constexpr std::string_view kDev = "/dev/";
    if (!source.starts_with(kDev) || source.size() == kDev.size()) return {};
    const std::string_view name = source.substr(kDev.size());
    // /dev/mapper/... and /dev/disk/by-... name no block device directly.
    if (name.find('/') != std::string_view::npos) return {};
    return std::string(name);
}

std::vector<UserVolume> UserVolumes(
    const std::vector<MountEntry>& mounts,
    const std::function<bool(const std::string&)>& removable_device) {
    std::vector<UserVolume> volumes;
    for (const MountEntry& mount : mounts) {
        if (mount.mount_point.empty() || IsPseudoFileSystem(mount.file_system) ||
            IsNetworkFileSystem(mount.file_system) || IsSystemMountPoint(mount.mount_point)) {
            continue;
        }
        // A later mount on the same place hides the earlier one.
        std::erase_if(volumes,
                      [&mount](const UserVolume& v) { return v.mount_point == mount.mount_point; });
        UserVolume volume;
        volume.mount_point = mount.mount_point;
        volume.file_system = mount.file_system;
        const std::string device = BlockDeviceName(mount.source);
        volume.removable = IsRemovableMountPlace(mount.mount_point) ||
                           (!device.empty() && removable_device && removable_device(device));
        volumes.push_back(std::move(volume));
    }
    std::stable_sort(volumes.begin(), volumes.end(), [](const UserVolume& a, const UserVolume& b) {
        if (a.removable != b.removable) return a.removable;
        return a.mount_point < b.mount_point;
    });
    return volumes;
}

bool IsRemovableBlockDevice(const std::string& device_name) {
    if (device_name.empty() || device_name.find('/') != std::string::npos) return false;
    // A whole disk has the flag; a partition's folder sits inside its disk's.
    const std::string folder = "/sys/class/block/" + device_name;
    for (const std::string& path : {folder + "/removable", folder + "/../removable"}) {
        std::ifstream flag(path);
        char value = 0;
        if (flag.get(value)) return value == '1';
    }
    return false;
}

}  // namespace orvo
