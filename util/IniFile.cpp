#include "IniFile.h"

#include "Gbk.h"

#include <QFile>
#include <QSaveFile>

namespace lumora {

namespace {
bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}
} // namespace

IniFile::IniFile(const QString &path) : path_(path)
{
    reload();
}

void IniFile::reload()
{
    sections_.clear();
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly))
        return;
    parse(file.readAll());
}

void IniFile::parse(const QByteArray &gbkText)
{
    sections_.clear();
    const QString text = FromGbk(gbkText);
    Section *current = nullptr;
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            const int close = line.indexOf(QLatin1Char(']'));
            const QString name = (close < 0 ? line.mid(1) : line.mid(1, close - 1)).trimmed();
            current = findSection(name);
            if (!current) {
                sections_.append(Section{name, {}});
                current = &sections_.last();
            }
            continue;
        }
        if (!current)
            continue; // keys before any section have no place in a profile file
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        bool replaced = false;
        for (auto &entry : current->entries) {
            if (sameName(entry.first, key)) {
                replaced = true; // the first occurrence wins, as the profile functions read it
                break;
            }
        }
        if (!replaced)
            current->entries.append({key, value});
    }
}

QByteArray IniFile::serialize() const
{
    QString out;
    for (const auto &section : sections_) {
        out += QLatin1Char('[') + section.name + QLatin1String("]\r\n");
        for (const auto &entry : section.entries)
            out += entry.first + QLatin1Char('=') + entry.second + QLatin1String("\r\n");
        out += QLatin1String("\r\n");
    }
    return ToGbk(out);
}

bool IniFile::save() const
{
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(serialize());
    return file.commit();
}

IniFile::Section *IniFile::findSection(const QString &name)
{
    for (auto &section : sections_)
        if (sameName(section.name, name))
            return &section;
    return nullptr;
}

const IniFile::Section *IniFile::findSection(const QString &name) const
{
    for (const auto &section : sections_)
        if (sameName(section.name, name))
            return &section;
    return nullptr;
}

bool IniFile::sectionExists(const QString &section) const
{
    return findSection(section) != nullptr;
}

bool IniFile::valueExists(const QString &section, const QString &key) const
{
    const Section *s = findSection(section);
    if (!s)
        return false;
    for (const auto &entry : s->entries)
        if (sameName(entry.first, key))
            return true;
    return false;
}

QStringList IniFile::sections() const
{
    QStringList out;
    for (const auto &section : sections_)
        out << section.name;
    return out;
}

QStringList IniFile::keys(const QString &section) const
{
    QStringList out;
    if (const Section *s = findSection(section))
        for (const auto &entry : s->entries)
            out << entry.first;
    return out;
}

QString IniFile::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    if (const Section *s = findSection(section))
        for (const auto &entry : s->entries)
            if (sameName(entry.first, key))
                return entry.second;
    return defaultValue;
}

int IniFile::readInteger(const QString &section, const QString &key, int defaultValue) const
{
    const QString text = readString(section, key);
    bool ok = false;
    // Accepts hexadecimal with "0x" as the platform's profile reader does.
    const int value = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? text.mid(2).toInt(&ok, 16)
                                                                                  : text.toInt(&ok, 10);
    return ok ? value : defaultValue;
}

bool IniFile::readBool(const QString &section, const QString &key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    Section *s = findSection(section);
    if (!s) {
        sections_.append(Section{section, {}});
        s = &sections_.last();
    }
    bool found = false;
    for (auto &entry : s->entries) {
        if (sameName(entry.first, key)) {
            entry.second = value;
            found = true;
            break;
        }
    }
    if (!found)
        s->entries.append({key, value});
    return save();
}

bool IniFile::writeInteger(const QString &section, const QString &key, int value)
{
    return writeString(section, key, QString::number(value));
}

bool IniFile::writeBool(const QString &section, const QString &key, bool value)
{
    return writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool IniFile::eraseSection(const QString &section)
{
    for (int i = 0; i < sections_.size(); ++i) {
        if (sameName(sections_[i].name, section)) {
            sections_.removeAt(i);
            return save();
        }
    }
    return true;
}

bool IniFile::deleteKey(const QString &section, const QString &key)
{
    Section *s = findSection(section);
    if (!s)
        return true;
    for (int i = 0; i < s->entries.size(); ++i) {
        if (sameName(s->entries[i].first, key)) {
            s->entries.removeAt(i);
            return save();
        }
    }
    return true;
}

} // namespace lumora
