#include "NameWatch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#if defined(Q_OS_LINUX)
#include <sys/inotify.h>
#include <unistd.h>
#endif

namespace platform::disk {

NameWatch::~NameWatch()
{
    Clear();
}

void NameWatch::Clear()
{
#if defined(Q_OS_LINUX)
    if (m_fd >= 0)
        ::close(m_fd);
#endif
    m_fd = -1;
}

void NameWatch::Watch(const QString& path)
{
    Clear();
#if defined(Q_OS_LINUX)
    const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0)
        return;
    // The file: renamed, its last name removed (a link count change), or replaced by a rename
    // onto its name (the same); every folder above it: renamed or removed.
    QString at = QFileInfo(path).absoluteFilePath();
    bool watched = ::inotify_add_watch(fd, QFile::encodeName(at).constData(), IN_ATTRIB | IN_MOVE_SELF | IN_DELETE_SELF) >= 0;
    for (QString folder = QFileInfo(at).absolutePath(); watched; folder = QFileInfo(folder).absolutePath()) {
        watched = ::inotify_add_watch(fd, QFile::encodeName(folder).constData(), IN_MOVE_SELF | IN_DELETE_SELF) >= 0;
        if (QDir(folder).isRoot())
            break;
    }
    if (!watched) {
        ::close(fd);
        return;
    }
    m_fd = fd;
#else
    Q_UNUSED(path);
#endif
}

bool NameWatch::Stirred()
{
    if (m_fd < 0)
        return true;
#if defined(Q_OS_LINUX)
    // Any event at all (the queue overflowing included) sends the caller to look the name up.
    alignas(struct inotify_event) char events[4096];
    bool stirred = false;
    while (::read(m_fd, events, sizeof events) > 0)
        stirred = true;
    return stirred;
#else
    return true;
#endif
}

}  // namespace platform::disk
