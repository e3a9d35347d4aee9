#pragma once

#include <cerrno>
#include <fcntl.h>
#include <linux/loop.h>
#include <spawn.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace zentrix::test {

/// An exFAT file system of a few megabytes, made in an image file beside the
/// directory and mounted on it through FUSE (exfat-fuse on a loop device) for
/// the lifetime of the object: the case-insensitive disk of a USB stick whose
/// type the kernel only knows as "fuseblk". Needs root, /dev/fuse, a loop
/// device and the exFAT tools: check mounted() and skip with reason() when it
/// is false.
class ExfatMount {
public:
    explicit ExfatMount(const std::string& directory) : m_directory(directory) {
        ::mkdir(directory.c_str(), 0755);
        m_image = directory + ".exfat";
        if (::geteuid() != 0) {
            m_reason = "mounting an exFAT image needs root";
            return;
        }
        const int image = ::open(m_image.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (image < 0 || ::ftruncate(image, 16 << 20) != 0) {
            m_reason = "no room for an exFAT image";
            if (image >= 0)
                ::close(image);
            return;
        }
        if (!run({"/usr/sbin/mkfs.exfat", m_image})) {
            ::close(image);
            m_reason = "mkfs.exfat (exfatprogs) cannot make an exFAT image here";
            return;
        }
        m_loop = attachLoop(image);
        ::close(image);
        if (m_loop < 0) {
            m_reason = "no loop device is free here";
            return;
        }
        if (!run({"/sbin/mount.exfat-fuse", m_loopPath, m_directory})) {
            m_reason = "exfat-fuse cannot mount an image here";
            return;
        }
        m_mounted = true;
    }
    ~ExfatMount() {
        if (m_mounted)
            ::umount2(m_directory.c_str(), MNT_DETACH);
        if (m_loop >= 0) {
            // The file system's daemon lets go of the device once it has
            // seen the unmount.
            for (int i = 0; i < 100 && ::ioctl(m_loop, LOOP_CLR_FD, 0) != 0 && errno == EBUSY; ++i)
                ::usleep(20000);
            ::close(m_loop);
        }
        ::unlink(m_image.c_str());
    }
    ExfatMount(const ExfatMount&) = delete;
    ExfatMount& operator=(const ExfatMount&) = delete;

    bool mounted() const { return m_mounted; }
    const std::string& reason() const { return m_reason; }

private:
    static bool run(std::vector<std::string> args) {
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        pid_t pid = 0;
        const int spawned = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0)
            return false;
        int status = 0;
        return ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    int attachLoop(int image) {
        const int control = ::open("/dev/loop-control", O_RDWR | O_CLOEXEC);
        if (control < 0)
            return -1;
        int loop = -1;
        for (int attempt = 0; attempt < 8 && loop < 0; ++attempt) {
            const int n = ::ioctl(control, LOOP_CTL_GET_FREE);
            if (n < 0)
                break;
            m_loopPath = "/dev/loop" + std::to_string(n);
            const int fd = ::open(m_loopPath.c_str(), O_RDWR | O_CLOEXEC);
            if (fd < 0)
                continue;
            if (::ioctl(fd, LOOP_SET_FD, image) == 0)
                loop = fd;
            else
                ::close(fd); // taken meanwhile by someone else: the next free one
        }
        ::close(control);
        return loop;
    }

    std::string m_directory;
    std::string m_image;
    std::string m_loopPath;
    std::string m_reason;
    int m_loop = -1;
    bool m_mounted = false;
};

} // namespace zentrix::test
