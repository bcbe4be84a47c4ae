#include "library/mount_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvo {
namespace {

// A desktop with a card in a USB reader, a stick, a snap, a container and
// the usual kernel mounts; blanks in a label appear as \040.
constexpr const char* kDesktop =
    "22 28 0:21 / /sys rw,nosuid,nodev,noexec,relatime shared:7 - sysfs sysfs rw\n"
    "23 28 0:22 / /proc rw,nosuid,nodev,noexec,relatime shared:13 - proc proc rw\n"
    "24 28 0:5 / /dev rw,nosuid,relatime shared:2 - devtmpfs udev rw,size=8000000k\n"
    "25 24 0:23 / /dev/pts rw,nosuid,noexec,relatime shared:3 - devpts devpts rw,gid=5\n"
    "26 28 0:24 / /run rw,nosuid,nodev,noexec,relatime shared:5 - tmpfs tmpfs rw,size=1600000k\n"
    "28 1 259:2 / / rw,relatime shared:1 - ext4 /dev/nvme0n1p2 rw,errors=remount-ro\n"
    "29 22 0:6 / /sys/kernel/security rw,nosuid,nodev,noexec,relatime shared:8 - securityfs "
    "securityfs rw\n"
    "30 24 0:25 / /dev/shm rw,nosuid,nodev shared:4 - tmpfs tmpfs rw\n"
    "32 22 0:27 / /sys/fs/cgroup rw,nosuid,nodev,noexec,relatime shared:9 - cgroup2 cgroup2 rw\n"
    "33 22 0:28 / /sys/fs/pstore rw,nosuid,nodev,noexec,relatime shared:10 - pstore pstore rw\n"
    "34 22 0:29 / /sys/firmware/efi/efivars rw,nosuid,nodev,noexec,relatime shared:11 - "
    "efivarfs efivarfs rw\n"
    "35 22 0:30 / /sys/fs/bpf rw,nosuid,nodev,noexec,relatime shared:12 - bpf bpf rw,mode=700\n"
    "36 23 0:31 / /proc/sys/fs/binfmt_misc rw,relatime shared:14 - autofs systemd-1 rw,fd=29\n"
    "37 24 0:20 / /dev/mqueue rw,nosuid,nodev,noexec,relatime shared:15 - mqueue mqueue rw\n"
    "38 24 0:32 / /dev/hugepages rw,relatime shared:16 - hugetlbfs hugetlbfs rw,pagesize=2M\n"
    "39 22 0:7 / /sys/kernel/debug rw,nosuid,nodev,noexec,relatime shared:17 - debugfs debugfs rw\n"
    "40 22 0:12 / /sys/kernel/tracing rw,nosuid,nodev,noexec,relatime shared:18 - tracefs "
    "tracefs rw\n"
    "41 22 0:33 / /sys/fs/fuse/connections rw,nosuid,nodev,noexec,relatime shared:19 - fusectl "
    "fusectl rw\n"
    "42 22 0:34 / /sys/kernel/config rw,nosuid,nodev,noexec,relatime shared:20 - configfs "
    "configfs rw\n"
    "60 28 7:0 / /snap/core22/1380 ro,nodev,relatime shared:30 - squashfs /dev/loop0 ro\n"
    "61 28 259:1 / /boot/efi rw,relatime shared:31 - vfat /dev/nvme0n1p1 rw,fmask=0077\n"
    "62 28 259:3 / /home rw,relatime shared:32 - ext4 /dev/nvme0n1p3 rw\n"
    "70 26 0:40 / /run/user/1000 rw,nosuid,nodev,relatime shared:40 - tmpfs tmpfs rw,mode=700\n"
    "71 70 0:41 / /run/user/1000/gvfs rw,nosuid,nodev,relatime shared:41 - fuse.gvfsd-fuse "
    "gvfsd-fuse rw\n"
    "72 28 0:42 / /var/lib/docker/overlay2/abc/merged rw,relatime - overlay overlay rw\n"
    "80 26 8:17 / /run/media/kei/DASH\\040CAM rw,nosuid,nodev,relatime shared:50 - exfat "
    "/dev/sdb1 rw\n"
    "81 28 8:33 / /media/usb rw,nosuid,nodev,relatime shared:51 - vfat /dev/sdc1 rw\n"
    "82 28 8:49 / /data rw,relatime shared:52 - ext4 /dev/sdd1 rw\n"
    "83 28 0:50 / /mnt/nas rw,relatime shared:53 - nfs4 nas:/export rw\n"
    "84 26 0:51 / /proc/fs/nfsd rw,relatime - nfsd nfsd rw\n";

TEST(MountInfoTest, ParsesFieldsAndUndoesEscapes) {
    const std::vector<MountEntry> mounts = ParseMountInfo(
        "80 26 8:17 / /run/media/kei/DASH\\040CAM rw shared:50 master:2 - exfat /dev/sdb1 rw\n"
        "garbage line\n"
        "\n"
        "81 28 8:33 /sub /media/a\\134b\\011c rw - vfat /dev/sdc1 rw");
    ASSERT_EQ(mounts.size(), 2u);
    EXPECT_EQ(mounts[0].root, "/");
    EXPECT_EQ(mounts[0].mount_point, "/run/media/kei/DASH CAM");
    EXPECT_EQ(mounts[0].file_system, "exfat");
    EXPECT_EQ(mounts[0].source, "/dev/sdb1");
    // Several optional fields, a last line without its newline.
    EXPECT_EQ(mounts[1].root, "/sub");
    EXPECT_EQ(mounts[1].mount_point, "/media/a\\b\tc");
    EXPECT_EQ(ParseMountInfo("1 2 3:4 / /x rw - ext4").size(), 0u) << "no source";
    EXPECT_EQ(ParseMountInfo("1 2 3:4 / - ext4 /dev/sda1 rw").size(), 0u) << "no options";
    EXPECT_TRUE(ParseMountInfo("").empty());
}

TEST(MountInfoTest, ListsWhatAUserWouldPickRemovableFirst) {
    std::vector<std::string> asked;
    const std::vector<UserVolume> volumes =
        UserVolumes(ParseMountInfo(kDesktop), [&asked](const std::string& device) {
            asked.push_back(device);
            return device == "sdd1";  // a card reader seen as a fixed path
        });
    std::vector<std::string> listed;
    for (const UserVolume& v : volumes) listed.push_back(v.mount_point + (v.removable ? " *" : ""));
    // Left out: kernel and memory file systems, the snap, /boot/efi, the
    // container layer, the desktop's own mounts below /run and the share.
    EXPECT_EQ(listed, (std::vector<std::string>{"/data *", "/media/usb *",
                                                "/run/media/kei/DASH CAM *", "/", "/home"}));
    EXPECT_EQ(volumes[0].file_system, "ext4");
    for (const std::string& device : asked) {
        EXPECT_TRUE(device == "sdd1" || device == "nvme0n1p2" || device == "nvme0n1p3") << device;
    }
}

TEST(MountInfoTest, PseudoSystemAndNetworkRules) {
    for (const char* type :
         {"proc",        "sysfs",    "tmpfs",   "devtmpfs",  "overlay",    "squashfs",
          "cgroup",      "cgroup2",  "debugfs", "tracefs",   "securityfs", "pstore",
          "bpf",         "autofs",   "mqueue",  "hugetlbfs", "fusectl",    "configfs",
          "binfmt_misc", "efivarfs", "ramfs",   "nsfs"}) {
        EXPECT_TRUE(IsPseudoFileSystem(type)) << type;
    }
    for (const char* type : {"ext4", "vfat", "exfat", "ntfs3", "fuseblk", "btrfs", "iso9660"}) {
        EXPECT_FALSE(IsPseudoFileSystem(type)) << type;
    }
    EXPECT_TRUE(IsNetworkFileSystem("NFS"));
    EXPECT_TRUE(IsNetworkFileSystem("cifs"));
    EXPECT_FALSE(IsNetworkFileSystem("exfat"));

    EXPECT_TRUE(IsSystemMountPoint("/run/user/1000"));
    EXPECT_TRUE(IsSystemMountPoint("/boot"));
    EXPECT_FALSE(IsSystemMountPoint("/run/media/kei/CARD"));
    EXPECT_FALSE(IsSystemMountPoint("/devices")) << "a name that only starts like /dev";
    EXPECT_FALSE(IsSystemMountPoint("/"));

    EXPECT_TRUE(IsRemovableMountPlace("/media/kei/CARD"));
    EXPECT_TRUE(IsRemovableMountPlace("/mnt"));
    EXPECT_FALSE(IsRemovableMountPlace("/mntdata"));
    EXPECT_FALSE(IsRemovableMountPlace("/home"));

    EXPECT_EQ(BlockDeviceName("/dev/sdb1"), "sdb1");
    EXPECT_EQ(BlockDeviceName("/dev/mapper/root"), "");
    EXPECT_EQ(BlockDeviceName("nas:/export"), "");
    EXPECT_EQ(BlockDeviceName("/dev/"), "");
    EXPECT_FALSE(IsRemovableBlockDevice("../../etc"));
    EXPECT_FALSE(IsRemovableBlockDevice("no-such-device"));
}

TEST(MountInfoTest, ALaterMountOnTheSamePlaceHidesTheEarlier) {
    const std::vector<UserVolume> volumes =
        UserVolumes(ParseMountInfo("1 0 8:1 / /media/card rw - vfat /dev/sdb1 rw\n"
                                   "2 1 8:2 / /media/card rw - exfat /dev/sdb2 rw\n"),
                    nullptr);
    ASSERT_EQ(volumes.size(), 1u);
    EXPECT_EQ(volumes[0].file_system, "exfat");
}

}  // namespace
}  // namespace orvo
