#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace lumora {

// A GBK ini file with section and key names kept literally ("[设置]", "[TForm1 Position]"), which QSettings
// would escape. Names compare without regard to ASCII case, as the platform's profile functions do.
// Every write is saved at once, so nothing waits for a destructor to reach the disk. A write changes the one line
// of its key (or adds one); comments and every other line stay as they were, byte for byte.
class IniFile
{
public:
    explicit IniFile(const QString &path);

    QString path() const { return path_; }

    bool sectionExists(const QString &section) const;
    bool valueExists(const QString &section, const QString &key) const;
    QStringList sections() const;
    QStringList keys(const QString &section) const;

    QString readString(const QString &section, const QString &key, const QString &defaultValue = {}) const;
    int readInteger(const QString &section, const QString &key, int defaultValue) const;
    bool readBool(const QString &section, const QString &key, bool defaultValue) const;

    // Each returns false when the file could not be written (the value is kept in memory all the same).
    bool writeString(const QString &section, const QString &key, const QString &value);
    bool writeInteger(const QString &section, const QString &key, int value);
    bool writeBool(const QString &section, const QString &key, bool value);
    bool eraseSection(const QString &section);
    bool deleteKey(const QString &section, const QString &key);

    // Re-reads the file; a missing or unreadable file reads as empty.
    void reload();
    bool save() const;

    // Parsing and writing, for tests and fuzzing.
    void parse(const QByteArray &gbkText);
    QByteArray serialize() const;

private:
    struct Entry {
        QString key;
        QString value;
        int line; // in lines_
    };
    struct Section {
        QString name;
        QList<Entry> entries; // the first of a key wins, also across repeated headers
        QList<int> headers;   // lines of its headers, first one first
        int lastLine = -1;    // last line that is not blank in any of its blocks
    };
    Section *findSection(const QString &name);
    const Section *findSection(const QString &name) const;
    // Builds the sections from lines_.
    void index();
    void insertLine(int at, const QString &text);
    void removeLines(int from, int count);

    QString path_;
    QList<QByteArray> lines_; // the file's lines, each with its own line end
    QList<Section> sections_;
};

} // namespace lumora
