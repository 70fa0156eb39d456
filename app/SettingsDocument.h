#pragma once

#include <QByteArray>
#include <QString>
#include <QStringConverter>

#include <pugixml.hpp>

#include <memory>
#include <optional>

namespace lumora
{

// The boxes of the sign-in dialog as plain values, so the remembered sign-in can be read and written without a
// screen.
struct SignInFields {
    bool savePass = false; // "记住密码"
    QString user;          // as typed, not trimmed
    QString pass;          // as typed, not trimmed
    QString inputUser;
};

// Without control characters and blanks at either end.
QString TrimBlanks(const QString &text);

// "True"/"False" in any letter case, or a decimal number (0 is false); nothing for any other text.
std::optional<bool> ReadBoolText(const QString &text);

// The Pass attribute: Base64 of the DES cipher of the password, keyed with the user name as typed.
QString EncipherPassword(const QString &password, const QString &user);
QString DecipherPassword(const QString &passAttribute, const QString &user);

using ByteOrderMark = std::optional<QStringConverter::Encoding>;

// The text of config.xml's bytes: in the encoding a byte order mark or else the declaration names; without either
// (or with a name we do not know), UTF-8 when the bytes are valid UTF-8, else GBK. broken is set when a byte is not
// valid in that encoding; bom receives the encoding a byte order mark named.
QString DecodeSettings(const QByteArray &bytes, bool *broken = nullptr, ByteOrderMark *bom = nullptr);
// The bytes as a document; nothing when a byte is broken, the text is not well-formed or a declaration stands
// anywhere but at its start.
std::shared_ptr<pugi::xml_document> ReadSettings(const QByteArray &bytes, ByteOrderMark *bom = nullptr);
// The document as config.xml is written: with the byte order mark it was read with, else in the encoding its
// declaration names (UTF-8 without a usable one), characters that encoding lacks as character references.
QByteArray EncodeSettings(const pugi::xml_document &doc, ByteOrderMark bom = std::nullopt);

// config.xml: the remembered sign-in in the Login element, everything else in the file kept as it was.
class SettingsDocument
{
public:
    // Path of the settings file; the default is config.xml in the executable's folder.
    explicit SettingsDocument(const QString &path = {});

    QString path() const { return path_; }
    // Set when the file could not be read or interpreted; from then on nothing is written to it.
    bool SettingsUnreadable() const { return unreadable_; }

    // Reads the file and applies the Login attributes that are present to fields, in the order Save, User, Pass,
    // InputUser; without Login or InputUser the entering user becomes the local IPv4 address. A file that cannot be
    // read or interpreted shows its raw text once. A missing file starts an empty document.
    void LoadSignInSettings(SignInFields &fields);
    // Writes Login from fields (attributes in the order Save, InputUser, User, Pass) and saves the whole document.
    // False when nothing was written (unreadable settings, or the file could not be saved).
    bool SaveSignInSettings(const SignInFields &fields);

private:
    QString path_;
    std::shared_ptr<pugi::xml_document> doc_;
    ByteOrderMark bom_;
    bool unreadable_ = false;
};

} // namespace lumora
