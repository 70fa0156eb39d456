#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace lumora {

// A GBK ini file with section and key names kept literally ("[设置]", "[TForm1 Position]"), which QSettings
// would escape. Names compare without regard to ASCII case, as the platform's profile functions do.
// Every write is saved at once, so nothing waits for a destructor to reach the disk.
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
    struct Section {
        QString name;
        QList<QPair<QString, QString>> entries; // key, value
    };
    Section *findSection(const QString &name);
    const Section *findSection(const QString &name) const;

    QString path_;
    QList<Section> sections_;
};

} // namespace lumora
