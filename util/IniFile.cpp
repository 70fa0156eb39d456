#include "IniFile.h"

#include "Gbk.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <functional>

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
    lines_.clear();
    sections_.clear();
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly))
        return;
    parse(file.readAll());
}

void IniFile::parse(const QByteArray &gbkText)
{
    lines_.clear();
    qsizetype from = 0;
    while (from < gbkText.size()) {
        const qsizetype lf = gbkText.indexOf('\n', from);
        const qsizetype end = lf < 0 ? gbkText.size() : lf + 1;
        lines_.append(gbkText.mid(from, end - from));
        from = end;
    }
    index();
}

void IniFile::index()
{
    sections_.clear();
    Section *current = nullptr;
    for (int i = 0; i < lines_.size(); ++i) {
        const QString line = FromGbk(lines_[i]).trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            const int close = line.indexOf(QLatin1Char(']'));
            const QString name = (close < 0 ? line.mid(1) : line.mid(1, close - 1)).trimmed();
            current = findSection(name);
            if (!current) {
                sections_.append(Section{name, {}, {}, -1});
                current = &sections_.last();
            }
            current->headers.append(i);
            current->lastLine = i;
            continue;
        }
        if (!current)
            continue; // lines before any section have no place in a profile file; they are kept all the same
        current->lastLine = i;
        if (line.startsWith(QLatin1Char(';')))
            continue;
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        const QString key = line.left(eq).trimmed();
        bool known = false;
        for (const Entry &entry : current->entries) {
            if (sameName(entry.key, key)) {
                known = true; // the first occurrence wins, as the profile functions read it
                break;
            }
        }
        if (!known)
            current->entries.append({key, line.mid(eq + 1).trimmed(), i});
    }
}

void IniFile::insertLine(int at, const QString &text)
{
    // The line before gets a line end if it had none (the file's last line).
    if (at > 0 && !lines_[at - 1].endsWith('\n'))
        lines_[at - 1] += "\r\n";
    lines_.insert(at, ToGbk(text) + "\r\n");
}

void IniFile::removeLines(int from, int count)
{
    lines_.remove(from, count);
}

QByteArray IniFile::serialize() const
{
    return lines_.join();
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
        if (sameName(entry.key, key))
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
            out << entry.key;
    return out;
}

QString IniFile::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    if (const Section *s = findSection(section))
        for (const auto &entry : s->entries)
            if (sameName(entry.key, key))
                return entry.value;
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
    const QString line = key + QLatin1Char('=') + value;
    if (Section *s = findSection(section)) {
        const auto entry =
            std::find_if(s->entries.begin(), s->entries.end(), [&](const Entry &e) { return sameName(e.key, key); });
        if (entry != s->entries.end() && entry->value == value) {
            // The line stays as it was, spacing and all.
        } else if (entry != s->entries.end()) {
            QByteArray &raw = lines_[entry->line];
            const QByteArray end = raw.endsWith("\r\n") ? "\r\n" : raw.endsWith('\n') ? "\n" : "";
            raw = ToGbk(line) + end;
        } else {
            insertLine(s->lastLine + 1, line);
        }
    } else {
        // A new section goes at the end, after a blank line when the file has lines.
        if (!lines_.isEmpty() && !FromGbk(lines_.last()).trimmed().isEmpty())
            insertLine(int(lines_.size()), QString());
        insertLine(int(lines_.size()), QLatin1Char('[') + section + QLatin1Char(']'));
        insertLine(int(lines_.size()), line);
    }
    index();
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
    const Section *s = findSection(section);
    if (!s)
        return true;
    // Every block of the section, from its header to the next header (or the end).
    QList<int> headers = s->headers;
    std::sort(headers.begin(), headers.end(), std::greater<int>());
    for (const int header : std::as_const(headers)) {
        int next = header + 1;
        while (next < lines_.size() && !FromGbk(lines_[next]).trimmed().startsWith(QLatin1Char('[')))
            ++next;
        removeLines(header, next - header);
    }
    index();
    return save();
}

bool IniFile::deleteKey(const QString &section, const QString &key)
{
    const Section *s = findSection(section);
    if (!s)
        return true;
    for (const Entry &entry : s->entries) {
        if (sameName(entry.key, key)) {
            removeLines(entry.line, 1);
            index();
            return save();
        }
    }
    return true;
}

} // namespace lumora
