#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>

namespace kresograf {

// The most recently opened or saved documents, newest first, at most Size of them, kept in the
// settings under "Recent File List" as "File1" ... "File4".
class RecentFileList {
  public:
    static constexpr int Size = 4;

    explicit RecentFileList(QSettings& settings);

    // Puts a file at the top; the same file named another way (relative, "..") is one entry.
    void Add(const QString& path);
    void Remove(const QString& path);
    const QStringList& Files() const { return files_; }
    // The menu text of entry i: "&1 name" with the file name only; the full path is the prompt.
    QString MenuText(int index) const;

  private:
    void Load();
    void Store();

    QSettings& settings_;
    QStringList files_;
};

}  // namespace kresograf
