#include "SettingsDocument.h"

#include "DesCipher.h"
#include "core/Base64.h"
#include "core/Conversions.h"
#include "core/Reply.h"
#include "util/ExeFolder.h"
#include "util/Gbk.h"
#include "util/MessageSeam.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cmath>

namespace lumora
{

namespace
{
const QByteArray kUtf8Bom("\xEF\xBB\xBF");

// The encoding named by the declaration at the start of the bytes, or empty.
QString declaredEncoding(const QByteArray &bytes)
{
    QByteArray head = bytes.left(512);
    if (head.startsWith(kUtf8Bom))
        head.remove(0, kUtf8Bom.size());
    // Only the declaration names the encoding; "<?xmlfoo ...?>" is an ordinary processing instruction.
    if (!head.startsWith("<?xml") || head.size() < 6 || !QByteArrayView(" \t\r\n").contains(head.at(5)))
        return {};
    const qsizetype end = head.indexOf("?>");
    if (end < 0)
        return {};
    static const QRegularExpression re(QStringLiteral(R"(encoding\s*=\s*["']([A-Za-z0-9._-]+)["'])"));
    const auto match = re.match(QString::fromLatin1(head.left(end)));
    return match.hasMatch() ? match.captured(1) : QString();
}

// Written when there is no file to keep: an empty document element, in GBK.
std::shared_ptr<pugi::xml_document> freshSettings()
{
    auto doc = std::make_shared<pugi::xml_document>();
    pugi::xml_node declaration = doc->append_child(pugi::node_declaration);
    declaration.append_attribute("version").set_value("1.0");
    declaration.append_attribute("encoding").set_value("GBK");
    doc->append_child("config");
    return doc;
}

// The value as text, or nothing when the element lacks the attribute.
std::optional<QString> attributeText(const pugi::xml_node &element, const char *name)
{
    const pugi::xml_attribute attribute = element.attribute(name);
    return attribute ? std::optional<QString>(QString::fromUtf8(attribute.value())) : std::nullopt;
}
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

QString DecodeSettings(const QByteArray &bytes, bool *broken, ByteOrderMark *bom)
{
    bool ignored = false;
    broken = broken ? broken : &ignored;
    auto run = [broken](QStringDecoder &decoder, QByteArrayView data) {
        const QString text = decoder.decode(data);
        *broken = decoder.hasError();
        return text;
    };
    const ByteOrderMark mark = QStringConverter::encodingForData(bytes);
    if (bom)
        *bom = mark;
    if (mark == QStringConverter::Utf8) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        return run(utf8, QByteArrayView(bytes).sliced(kUtf8Bom.size()));
    }
    if (mark) {
        QStringDecoder decoder(*mark);
        return run(decoder, bytes);
    }
    const QString declared = declaredEncoding(bytes);
    if (!declared.isEmpty()) {
        QStringDecoder decoder(declared.toLatin1().constData());
        if (decoder.isValid())
            return run(decoder, bytes);
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    *broken = false;
    if (!utf8.hasError())
        return text;
    QStringDecoder gbk("GBK");
    return run(gbk, bytes);
}

std::shared_ptr<pugi::xml_document> ReadSettings(const QByteArray &bytes, ByteOrderMark *bom)
{
    // Bytes that are not valid in the document's encoding make it unreadable, as XML has it: read leniently, a
    // broken byte in a name would come back as a character the encoding cannot write, and the file saved from it
    // could never be read again.
    bool broken = false;
    const QString text = DecodeSettings(bytes, &broken, bom);
    if (broken)
        return {};
    std::shared_ptr<pugi::xml_document> doc;
    try {
        doc = ParseXml(text);
    } catch (const LumoraError &) {
        return {};
    }
    // A declaration opens the text or is none, as XML has it; elsewhere it would name an encoding the file was not
    // read in.
    for (pugi::xml_node node = doc->first_child(); node; node = node.next_sibling()) {
        const bool opens = node == doc->first_child() && (text.startsWith(u"<?xml") || text.startsWith(u"\uFEFF<?xml"));
        if (node.type() == pugi::node_declaration && !opens)
            return {};
    }
    return doc;
}

QByteArray EncodeSettings(const pugi::xml_document &doc, ByteOrderMark bom)
{
    const std::string saved = SaveXml(doc);
    const QString text = QString::fromStdString(saved);
    if (bom)
        return QStringEncoder(*bom, QStringConverter::Flag::WriteBom).encode(text);
    // The encoding is found in the saved text just as DecodeSettings finds it when the file is read again.
    QByteArray codec = declaredEncoding(QByteArray::fromStdString(saved.substr(0, 512))).toLatin1();
    if (codec.isEmpty() || !QStringEncoder(codec.constData()).isValid())
        codec = "UTF-8";
    const QByteArray lower = codec.toLower();
    if (lower.startsWith("utf")) {
        // UTF-16 and UTF-32 text is only found again by its byte order mark.
        const bool wide = !lower.startsWith("utf-8") && !lower.startsWith("utf8");
        return QStringEncoder(codec.constData(),
                              wide ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default)
            .encode(text);
    }
    QStringEncoder encoder(codec.constData());

    // Characters the encoding lacks become character references, so nothing turns into "?" on disk. Each is tried
    // with converters of its own: one that failed once may fail for every character after.
    const auto canEncode = [&codec](QStringView unit) {
        QStringEncoder encoder(codec.constData());
        QStringDecoder decoder(codec.constData());
        const QByteArray bytes = encoder.encode(unit);
        return !encoder.hasError() && QString(decoder.decode(bytes)) == unit;
    };
    QString escaped;
    escaped.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
        const QStringView unit = QStringView(text).sliced(i, length);
        i += length - 1;
        if (unit.at(0).unicode() < 0x80) {
            escaped += unit;
            continue;
        }
        if (canEncode(unit))
            escaped += unit;
        else
            escaped += QStringLiteral("&#x%1;").arg(unit.toUcs4().value(0), 0, 16);
    }
    return encoder.encode(escaped);
}

SettingsDocument::SettingsDocument(const QString &path)
    : path_(path.isEmpty() ? ExeFolder() + QStringLiteral("config.xml") : path)
{
}

void SettingsDocument::LoadSignInSettings(SignInFields &fields)
{
    bool inputUserRead = false;
    QFile file(path_);
    if (!file.exists()) {
        // The file is normally installed with the program; without it we start from an empty document.
        doc_ = freshSettings();
    } else if (!file.open(QIODevice::ReadOnly)) {
        // Writing over a file we could not read would lose whatever it holds.
        unreadable_ = true;
    } else {
        const QByteArray bytes = file.readAll();
        doc_ = ReadSettings(bytes, &bom_);
        const pugi::xml_node login = doc_ ? FirstChildElement(doc_->document_element(), "Login") : pugi::xml_node();
        const std::optional<QString> save = attributeText(login, "Save");
        const std::optional<bool> saveValue = save ? ReadBoolText(*save) : std::optional<bool>(false);
        if (!doc_ || !saveValue) {
            ShowMessage(DecodeSettings(bytes));
            unreadable_ = true;
        } else if (login) {
            if (save)
                fields.savePass = *saveValue;
            if (const std::optional<QString> user = attributeText(login, "User"))
                fields.user = *user;
            if (const std::optional<QString> pass = attributeText(login, "Pass"))
                fields.pass = DecipherPassword(*pass, fields.user);
            if (const std::optional<QString> inputUser = attributeText(login, "InputUser")) {
                fields.inputUser = *inputUser;
                inputUserRead = true;
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
    if (!doc_) {
        // Saved before anything was read: keep what the file already holds.
        QFile existing(path_);
        if (!existing.exists()) {
            doc_ = freshSettings();
        } else if (!existing.open(QIODevice::ReadOnly) || !(doc_ = ReadSettings(existing.readAll(), &bom_))) {
            unreadable_ = true;
            return false;
        }
    }
    pugi::xml_node root = doc_->document_element();
    pugi::xml_node login = FirstChildElement(root, "Login");
    if (!login)
        login = root.append_child("Login");

    QString pass;
    if (fields.savePass) {
        try {
            pass = EncipherPassword(fields.pass, fields.user);
        } catch (const LumoraError &) {
            // A password ending in a NUL character cannot be stored; it is simply not remembered.
        }
    }
    SetAttribute(login, "Save", fields.savePass ? "True" : "False");
    SetAttribute(login, "InputUser", TrimBlanks(fields.inputUser).toUtf8().constData());
    SetAttribute(login, "User", fields.savePass ? fields.user.toUtf8().constData() : "");
    SetAttribute(login, "Pass", pass.toUtf8().constData());

    // Written through a temporary file, so a failed write never leaves half a settings file behind.
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(EncodeSettings(*doc_, bom_));
    return file.commit();
}

} // namespace lumora
