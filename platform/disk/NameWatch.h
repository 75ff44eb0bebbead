#pragma once

#include <QString>

namespace platform::disk {

// Tells cheaply whether the file a path led to may no longer be there under that name: the file
// or any folder above it was renamed, removed, or had its links or attributes changed. Looking
// the name up again walks the whole path; so a caller that must notice a moved or removed file
// at once looks the name up only when stirred. The system signals the program when something
// happens, so asking costs a read of memory; where it cannot, asking costs one non-blocking
// read. Where nothing can be watched, every question answers "stirred".
class NameWatch {
public:
    NameWatch() = default;
    ~NameWatch();
    NameWatch(const NameWatch&) = delete;
    NameWatch& operator=(const NameWatch&) = delete;

    // Begins watching the file now at `path` (dropping any earlier watch).
    void Watch(const QString& path);
    void Clear();
    // True when something happened to the file or a folder above it since Watch or the last
    // question, or when nothing is watched.
    bool Stirred();

private:
    int m_fd = -1;
    bool m_signalled = false;  // the system signals each event
    unsigned m_signalsSeen = 0;
};

}  // namespace platform::disk
