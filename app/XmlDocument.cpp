#include "XmlDocument.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QXmlStreamReader>

#include <functional>

namespace lumora
{

namespace
{

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

bool isUtf(const QString &name)
{
    return name.startsWith(QLatin1String("utf"), Qt::CaseInsensitive);
}

// Which encoder writes a document that declares this encoding (or none).
QString writingEncoding(const QString &declared)
{
    if (declared.isEmpty())
        return QStringLiteral("UTF-8");
    if (QStringEncoder(declared.toLatin1().constData()).isValid())
        return declared;
    return QStringLiteral("GBK"); // unknown names were read as GBK, so they go back as GBK
}

using CanEncode = std::function<bool(const QString &)>;

// Characters the target encoding lacks become character references, so nothing turns into "?" on disk.
QString escaped(const QString &text, bool attribute, const CanEncode &canEncode)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        switch (c.unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            continue;
        case '<':
            out += QLatin1String("&lt;");
            continue;
        case '>':
            out += QLatin1String("&gt;");
            continue;
        case '\r':
            out += QLatin1String("&#13;");
            continue;
        default:
            break;
        }
        if (attribute) {
            if (c == QLatin1Char('"')) {
                out += QLatin1String("&quot;");
                continue;
            }
            if (c == QLatin1Char('\n') || c == QLatin1Char('\t')) {
                out += QStringLiteral("&#%1;").arg(c.unicode());
                continue;
            }
        }
        if (c.unicode() < 0x80 || !canEncode) {
            out += c;
            continue;
        }
        QString unit(c);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            unit += text.at(++i);
        if (canEncode(unit))
            out += unit;
        else
            out += QStringLiteral("&#x%1;").arg(unit.toUcs4().value(0), 0, 16);
    }
    return out;
}

void writeNode(const XmlNode &node, QString &out, const CanEncode &canEncode)
{
    switch (node.kind) {
    case XmlNode::Element:
        out += QLatin1Char('<') + node.name;
        for (const auto &attribute : node.attributes)
            out += QLatin1Char(' ') + attribute.first + QLatin1String("=\"") +
                   escaped(attribute.second, true, canEncode) + QLatin1Char('"');
        if (node.children.empty()) {
            out += QLatin1String("/>");
            return;
        }
        out += QLatin1Char('>');
        for (const auto &child : node.children)
            writeNode(child, out, canEncode);
        out += QLatin1String("</") + node.name + QLatin1Char('>');
        return;
    case XmlNode::Text:
        out += escaped(node.text, false, canEncode);
        return;
    case XmlNode::CData: {
        QString text = node.text;
        text.replace(QLatin1String("]]>"), QLatin1String("]]]]><![CDATA[>"));
        out += QLatin1String("<![CDATA[") + text + QLatin1String("]]>");
        return;
    }
    case XmlNode::Comment:
        out += QLatin1String("<!--") + node.text + QLatin1String("-->");
        return;
    case XmlNode::ProcessingInstruction:
        out += QLatin1String("<?") + node.name;
        if (!node.text.isEmpty())
            out += QLatin1Char(' ') + node.text;
        out += QLatin1String("?>");
        return;
    case XmlNode::DocumentType:
        out += node.text.trimmed();
        return;
    }
}

QString serialize(bool hasDeclaration, const QString &version, const QString &encoding, bool standalone,
                  const std::vector<XmlNode> &nodes, const CanEncode &canEncode)
{
    QString out;
    if (hasDeclaration) {
        out += QLatin1String("<?xml version=\"") + (version.isEmpty() ? QStringLiteral("1.0") : version) +
               QLatin1Char('"');
        if (!encoding.isEmpty())
            out += QLatin1String(" encoding=\"") + encoding + QLatin1Char('"');
        if (standalone)
            out += QLatin1String(" standalone=\"yes\"");
        out += QLatin1String("?>\r\n");
    }
    for (const auto &node : nodes) {
        writeNode(node, out, canEncode);
        out += QLatin1String("\r\n");
    }
    return out;
}

} // namespace

bool XmlNode::hasAttribute(const QString &attributeName) const
{
    for (const auto &a : attributes)
        if (a.first == attributeName)
            return true;
    return false;
}

QString XmlNode::attribute(const QString &attributeName, bool *present) const
{
    for (const auto &a : attributes) {
        if (a.first == attributeName) {
            if (present)
                *present = true;
            return a.second;
        }
    }
    if (present)
        *present = false;
    return {};
}

void XmlNode::setAttribute(const QString &attributeName, const QString &value)
{
    for (auto &a : attributes) {
        if (a.first == attributeName) {
            a.second = value;
            return;
        }
    }
    attributes.append({attributeName, value});
}

XmlNode *XmlNode::firstChildElement(const QString &elementName)
{
    for (auto &child : children)
        if (child.kind == Element && child.name == elementName)
            return &child;
    return nullptr;
}

XmlNode &XmlNode::appendElement(const QString &elementName)
{
    XmlNode element;
    element.name = elementName;
    children.push_back(std::move(element));
    return children.back();
}

QString XmlDocument::declaredEncoding(const QByteArray &bytes)
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

namespace
{
// Decodes as load() reads; broken is set when a byte sequence is not valid in the encoding chosen.
QString DecodeChecked(const QByteArray &bytes, bool *broken)
{
    auto run = [broken](QStringDecoder &decoder, const QByteArray &data) {
        const QString text = decoder.decode(data);
        *broken = decoder.hasError();
        return text;
    };
    if (bytes.startsWith(kUtf8Bom)) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        return run(utf8, bytes.mid(kUtf8Bom.size()));
    }
    if (const auto bom = QStringConverter::encodingForData(bytes); bom && *bom != QStringConverter::Utf8) {
        QStringDecoder decoder(*bom);
        return run(decoder, bytes);
    }
    const QString declared = XmlDocument::declaredEncoding(bytes);
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
} // namespace

QString XmlDocument::decode(const QByteArray &bytes)
{
    bool broken = false;
    return DecodeChecked(bytes, &broken);
}

bool XmlDocument::load(const QByteArray &bytes)
{
    // Bytes that are not valid in the document's encoding make it unreadable, as XML has it: read leniently, a
    // broken byte in a name would come back as a character the encoding cannot write, and the file saved from
    // it could never be read again.
    bool broken = false;
    const QString text = DecodeChecked(bytes, &broken);
    if (broken) {
        *this = XmlDocument();
        error_ = QStringLiteral("invalid byte sequence for the document's encoding");
        return false;
    }
    return setContent(text);
}

bool XmlDocument::setContent(const QString &text)
{
    *this = XmlDocument();
    QXmlStreamReader reader(text);
    reader.setNamespaceProcessing(false);
    std::vector<XmlNode *> open; // path from the document element to the current element
    auto append = [&](XmlNode node) -> XmlNode & {
        if (open.empty()) {
            nodes_.push_back(std::move(node));
            return nodes_.back();
        }
        open.back()->children.push_back(std::move(node));
        return open.back()->children.back();
    };
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartDocument:
            hasDeclaration_ = !reader.documentVersion().isEmpty();
            version_ = reader.documentVersion().toString();
            encoding_ = reader.documentEncoding().toString();
            standalone_ = reader.isStandaloneDocument();
            break;
        case QXmlStreamReader::DTD:
            append(XmlNode{XmlNode::DocumentType, {}, reader.text().toString(), {}, {}});
            break;
        case QXmlStreamReader::StartElement: {
            XmlNode element;
            element.name = reader.qualifiedName().toString();
            for (const auto &a : reader.attributes())
                if (!a.isDefault())
                    element.attributes.append({a.qualifiedName().toString(), a.value().toString()});
            const bool top = open.empty();
            XmlNode &placed = append(std::move(element));
            if (top)
                rootIndex_ = int(nodes_.size()) - 1;
            open.push_back(&placed);
            break;
        }
        case QXmlStreamReader::EndElement:
            open.pop_back();
            break;
        case QXmlStreamReader::Characters:
            if (open.empty())
                break; // blanks between the top-level nodes; we write our own line breaks there
            append(XmlNode{reader.isCDATA() ? XmlNode::CData : XmlNode::Text, {}, reader.text().toString(), {}, {}});
            break;
        case QXmlStreamReader::Comment:
            append(XmlNode{XmlNode::Comment, {}, reader.text().toString(), {}, {}});
            break;
        case QXmlStreamReader::ProcessingInstruction:
            append(XmlNode{XmlNode::ProcessingInstruction,
                           reader.processingInstructionTarget().toString(),
                           reader.processingInstructionData().toString(),
                           {},
                           {}});
            break;
        default:
            break;
        }
    }
    if (reader.hasError() || rootIndex_ < 0) {
        const QString message = reader.hasError() ? reader.errorString() : QStringLiteral("no document element");
        *this = XmlDocument();
        error_ = message;
        return false;
    }
    return true;
}

void XmlDocument::reset(const QString &rootName, const QString &encoding)
{
    *this = XmlDocument();
    hasDeclaration_ = true;
    version_ = QStringLiteral("1.0");
    encoding_ = encoding;
    XmlNode root;
    root.name = rootName;
    nodes_.push_back(std::move(root));
    rootIndex_ = 0;
}

XmlNode *XmlDocument::documentElement()
{
    return rootIndex_ < 0 ? nullptr : &nodes_[size_t(rootIndex_)];
}

QString XmlDocument::toString() const
{
    return serialize(hasDeclaration_, version_, encoding_, standalone_, nodes_, {});
}

QByteArray XmlDocument::save() const
{
    const QString name = writingEncoding(encoding_);
    CanEncode canEncode;
    if (!isUtf(name)) {
        const QByteArray codec = name.toLatin1();
        canEncode = [codec](const QString &unit) {
            QStringEncoder encoder(codec.constData());
            QStringDecoder decoder(codec.constData());
            const QByteArray bytes = encoder.encode(unit);
            return !encoder.hasError() && QString(decoder.decode(bytes)) == unit;
        };
    }
    QStringEncoder encoder(name.toLatin1().constData());
    return encoder.encode(serialize(hasDeclaration_, version_, encoding_, standalone_, nodes_, canEncode));
}

} // namespace lumora
