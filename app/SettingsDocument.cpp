#include "SettingsDocument.h"

#include "DesCipher.h"
#include "core/Base64.h"
#include "core/Conversions.h"
#include "core/Reply.h"
#include "util/ExeFolder.h"
#include "util/Gbk.h"
#include "util/MessageSeam.h"

#include <QFile>
#include <QSaveFile>

#include <cmath>

namespace lumora
{

namespace
{
const QString kLogin = QStringLiteral("Login");
const QString kSave = QStringLiteral("Save");
const QString kUser = QStringLiteral("User");
const QString kPass = QStringLiteral("Pass");
const QString kInputUser = QStringLiteral("InputUser");
} // namespace

QString TrimBlanks(const QString &text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text.at(from).unicode() <= ' ')
        ++from;
    while (to > from && text.at(to - 1).unicode() <= ' ')
        --to;
    return text.mid(from, to - from);
}

std::optional<bool> ReadBoolText(const QString &text)
{
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    // Only plain decimal numbers: toDouble would also take "inf" and "nan".
    const QString number = text.trimmed();
    if (number.isEmpty() || !(number.at(0).isDigit() || number.at(0) == QLatin1Char('-') ||
                              number.at(0) == QLatin1Char('+') || number.at(0) == QLatin1Char('.')))
        return std::nullopt;
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value != 0;
}

QString EncipherPassword(const QString &password, const QString &user)
{
    return QString::fromLatin1(Base64EncodeLine(DesEncryptString(ToGbk(password), ToGbk(user))));
}

QString DecipherPassword(const QString &passAttribute, const QString &user)
{
    return FromGbk(DesDecryptString(Base64Decode(passAttribute.toLatin1()), ToGbk(user)));
}

SettingsDocument::SettingsDocument(const QString &path)
    : path_(path.isEmpty() ? ExeFolder() + QStringLiteral("config.xml") : path)
{
}

void SettingsDocument::LoadSignInSettings(SignInFields &fields)
{
    bool inputUserRead = false;
    auto unreadable = [this](const QString &rawText) {
        ShowMessage(rawText);
        unreadable_ = true;
    };

    QFile file(path_);
    if (!file.exists()) {
        // The file is normally installed with the program; without it we start from an empty document.
        doc_.reset(QStringLiteral("config"), QStringLiteral("GBK"));
    } else if (!file.open(QIODevice::ReadOnly)) {
        // Writing over a file we could not read would lose whatever it holds.
        unreadable_ = true;
    } else {
        const QByteArray bytes = file.readAll();
        if (!doc_.load(bytes)) {
            unreadable(XmlDocument::decode(bytes));
        } else if (XmlNode *login = doc_.documentElement()->firstChildElement(kLogin)) {
            bool present = false;
            const QString save = login->attribute(kSave, &present);
            const std::optional<bool> saveValue = present ? ReadBoolText(save) : std::optional<bool>(false);
            if (!saveValue) {
                unreadable(XmlDocument::decode(bytes));
            } else {
                if (present)
                    fields.savePass = *saveValue;
                const QString user = login->attribute(kUser, &present);
                if (present)
                    fields.user = user;
                const QString pass = login->attribute(kPass, &present);
                if (present)
                    fields.pass = DecipherPassword(pass, fields.user);
                const QString inputUser = login->attribute(kInputUser, &present);
                if (present) {
                    fields.inputUser = inputUser;
                    inputUserRead = true;
                }
            }
        }
    }
    if (!inputUserRead)
        fields.inputUser = LocalIpAddress();
}

bool SettingsDocument::SaveSignInSettings(const SignInFields &fields)
{
    if (unreadable_)
        return false;
    if (doc_.isNull()) {
        // Saved before anything was read: keep what the file already holds.
        QFile existing(path_);
        if (existing.exists()) {
            if (!existing.open(QIODevice::ReadOnly) || !doc_.load(existing.readAll())) {
                unreadable_ = true;
                return false;
            }
        } else {
            doc_.reset(QStringLiteral("config"), QStringLiteral("GBK"));
        }
    }
    XmlNode *root = doc_.documentElement();
    XmlNode *login = root->firstChildElement(kLogin);
    if (!login)
        login = &root->appendElement(kLogin);

    QString pass;
    if (fields.savePass) {
        try {
            pass = EncipherPassword(fields.pass, fields.user);
        } catch (const LumoraError &) {
            // A password ending in a NUL character cannot be stored; it is simply not remembered.
        }
    }
    login->setAttribute(kSave, fields.savePass ? QStringLiteral("True") : QStringLiteral("False"));
    login->setAttribute(kInputUser, TrimBlanks(fields.inputUser));
    login->setAttribute(kUser, fields.savePass ? fields.user : QString());
    login->setAttribute(kPass, pass);

    // Written through a temporary file, so a failed write never leaves half a settings file behind.
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(doc_.save());
    return file.commit();
}

} // namespace lumora
