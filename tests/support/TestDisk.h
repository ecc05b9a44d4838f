#pragma once
// Small disks of their own for the tests of full and read-only disks: a tmpfs
// mounted in a temporary folder and unmounted again afterwards. Mounting needs
// the right to do so (root, as in CI); a test skips with the reason when it is
// not given.
#include <QString>
#include <QTemporaryDir>

struct TestDisk {
    explicit TestDisk(int kilobytes = 64);
    ~TestDisk();
    TestDisk(const TestDisk &) = delete;
    TestDisk &operator=(const TestDisk &) = delete;

    bool mounted() const { return m_mounted; }
    QString whyNot() const { return m_why; } // why it could not be mounted
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

    // Writes a filler file until the disk is full.
    void fill();
    // Makes the disk read-only; false when that is refused.
    bool makeReadOnly();
    // Mounts file over target (which must exist) so that target can be
    // written while the rest of the disk is read-only.
    bool bindFile(const QString &file, const QString &target);

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    QString m_why;
    QString m_bound;
};
