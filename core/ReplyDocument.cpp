#include "ReplyDocument.h"

#include "Reply.h"

#include <QHash>
#include <QXmlStreamReader>

namespace lumora
{

QString ReplyElement::tagName() const
{
    return doc_ ? doc_->nodes_[index_].name : QString();
}

const QString *ReplyElement::findAttribute(QStringView name) const
{
    if (!doc_)
        return nullptr;
    for (const ReplyDocument::Attribute &a : doc_->nodes_[index_].attributes) {
        if (a.name == name)
            return &a.value;
    }
    return nullptr;
}

QString ReplyElement::attribute(QStringView name, const QString &defaultValue) const
{
    const QString *value = findAttribute(name);
    return value ? *value : defaultValue;
}

void ReplyElement::setAttribute(const QString &name, const QString &value)
{
    if (!doc_)
        return;
    QList<ReplyDocument::Attribute> &attributes = doc_->nodes_[index_].attributes;
    for (ReplyDocument::Attribute &a : attributes) {
        if (a.name == name) {
            a.value = value;
            return;
        }
    }
    attributes.append({name, value});
}

ReplyElement ReplyElement::firstChildElement(QStringView name) const
{
    if (!doc_)
        return {};
    const auto &nodes = doc_->nodes_;
    for (int i = nodes[index_].firstChild; i >= 0; i = nodes[i].next) {
        if (nodes[i].kind == ReplyDocument::Kind::Element && (name.isNull() || nodes[i].name == name))
            return ReplyElement(doc_, i);
    }
    return {};
}

ReplyElement ReplyElement::nextSiblingElement() const
{
    if (!doc_)
        return {};
    const auto &nodes = doc_->nodes_;
    for (int i = nodes[index_].next; i >= 0; i = nodes[i].next) {
        if (nodes[i].kind == ReplyDocument::Kind::Element)
            return ReplyElement(doc_, i);
    }
    return {};
}

int ReplyDocument::append(int parent, Kind kind)
{
    const int index = static_cast<int>(nodes_.size());
    Node &node = nodes_.emplace_back();
    node.kind = kind;
    node.parent = parent;
    Node &owner = nodes_[parent];
    node.previous = owner.lastChild;
    if (owner.lastChild >= 0)
        nodes_[owner.lastChild].next = index;
    else
        owner.firstChild = index;
    owner.lastChild = index;
    return index;
}

ReplyElement ReplyDocument::documentElement()
{
    for (int i = nodes_[0].firstChild; i >= 0; i = nodes_[i].next) {
        if (nodes_[i].kind == Kind::Element)
            return ReplyElement(shared_from_this(), i);
    }
    return {};
}

namespace
{
// Also spacing written as character references, which the reader does not count as white space.
bool isSpacing(QStringView text)
{
    for (const QChar c : text) {
        if (c != u' ' && c != u'\t' && c != u'\n' && c != u'\r')
            return false;
    }
    return true;
}

// Names repeat on every row of a reply; sharing one QString per distinct name saves an allocation for each.
class NameTable
{
public:
    QString name(QStringView text)
    {
        if (text == lastName_)
            return lastName_;
        auto found = names_.constFind(text.toString());
        if (found == names_.constEnd())
            found = names_.insert(text.toString(), text.toString());
        lastName_ = *found;
        return lastName_;
    }

    // The attribute at the same place on the previous row is usually the same name.
    QString attributeName(qsizetype position, QStringView text)
    {
        if (position < lastNames_.size() && lastNames_[position] == text)
            return lastNames_[position];
        QString shared = name(text);
        if (position < lastNames_.size())
            lastNames_[position] = shared;
        else
            lastNames_.append(shared);
        return shared;
    }

private:
    QHash<QString, QString> names_;
    QString lastName_;
    QList<QString> lastNames_;
};
} // namespace

std::shared_ptr<ReplyDocument> ReplyDocument::Parse(const QString &text)
{
    auto doc = std::make_shared<ReplyDocument>();
    NameTable names;
    QXmlStreamReader reader(text);
    reader.setNamespaceProcessing(false);
    int current = 0;
    const auto leaf = [&doc, &current](Kind kind, const QString &name, const QString &text) {
        Node &node = doc->nodes_[doc->append(current, kind)];
        node.name = name;
        node.text = text;
    };
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartDocument:
            // Kept as the declaration's instruction, in the form the XML reader reports it.
            if (!reader.documentVersion().isEmpty()) {
                QString data = QStringLiteral("version='") + reader.documentVersion().toString() + QLatin1Char('\'');
                if (!reader.documentEncoding().isEmpty())
                    data += QStringLiteral(" encoding='") + reader.documentEncoding().toString() + QLatin1Char('\'');
                if (reader.isStandaloneDocument())
                    data += QStringLiteral(" standalone='yes'");
                leaf(Kind::Instruction, QStringLiteral("xml"), data);
            }
            break;
        case QXmlStreamReader::DTD:
            // Kept so that the saved text reads back with the same entities.
            leaf(Kind::Doctype, {}, reader.text().toString());
            break;
        case QXmlStreamReader::StartElement: {
            const int node = doc->append(current, Kind::Element);
            Node &element = doc->nodes_[node];
            element.name = names.name(reader.qualifiedName());
            const QXmlStreamAttributes attributes = reader.attributes();
            element.attributes.reserve(attributes.size());
            for (qsizetype i = 0; i < attributes.size(); ++i) {
                const QXmlStreamAttribute &a = attributes[i];
                element.attributes.append({names.attributeName(i, a.qualifiedName()), a.value().toString()});
            }
            current = node;
            break;
        }
        case QXmlStreamReader::EndElement:
            current = doc->nodes_[current].parent;
            break;
        case QXmlStreamReader::Characters: {
            const Kind kind = reader.isCDATA() ? Kind::CData : Kind::Text;
            if (kind == Kind::Text && isSpacing(reader.text()))
                break;
            const int last = doc->nodes_[current].lastChild;
            // The reader may hand one run of text over in pieces.
            if (kind == Kind::Text && last >= 0 && doc->nodes_[last].kind == Kind::Text) {
                doc->nodes_[last].text += reader.text();
                break;
            }
            leaf(kind, {}, reader.text().toString());
            break;
        }
        case QXmlStreamReader::Comment:
            leaf(Kind::Comment, {}, reader.text().toString());
            break;
        case QXmlStreamReader::ProcessingInstruction:
            leaf(Kind::Instruction, reader.processingInstructionTarget().toString(),
                 reader.processingInstructionData().toString());
            break;
        case QXmlStreamReader::EntityReference:
            leaf(Kind::EntityReference, reader.name().toString(), {});
            break;
        default:
            break;
        }
    }
    if (reader.hasError()) {
        throw LumoraError(QStringLiteral("回复不是有效的 XML: %1 (第 %2 行, 第 %3 列)")
                              .arg(reader.errorString())
                              .arg(reader.lineNumber())
                              .arg(reader.columnNumber()));
    }
    return doc;
}

namespace
{

enum class Escape { Attribute, Text, None, Name };

// Escapes as an XML writer must: attribute values also keep their line breaks and tabs, which a reader would
// otherwise turn into blanks. Characters that XML does not allow at all (control characters, unpaired surrogates,
// U+FFFE, U+FFFF), which the reader lets through in some places, become U+FFFD everywhere, so that the saved text
// always reads back; in names they become "_", which any name may hold.
void appendEscaped(QString &out, const QString &text, Escape escape)
{
    // Every character below 64 that may need work is in the mask; most text passes with one comparison.
    constexpr quint64 kSpecial = ((quint64(1) << 0x20) - 1) | (quint64(1) << '<') | (quint64(1) << '&') |
                                 (quint64(1) << '>') | (quint64(1) << '"');
    const bool markup = escape == Escape::Attribute || escape == Escape::Text;
    qsizetype start = 0;
    const qsizetype size = text.size();
    const char16_t *chars = reinterpret_cast<const char16_t *>(text.constData());
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = chars[i];
        if (c < 64 ? !((kSpecial >> c) & 1) : c < 0xD800)
            continue;
        QLatin1String replacement;
        bool invalid = false;
        if (c >= 0xD800) {
            if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(chars[i + 1])) {
                ++i;
                continue;
            }
            invalid = QChar::isSurrogate(c) || c >= 0xFFFE;
        } else {
            switch (c) {
            case u'<':
                if (markup)
                    replacement = QLatin1String("&lt;");
                break;
            case u'&':
                if (markup)
                    replacement = QLatin1String("&amp;");
                break;
            case u'>':
                if (markup && i >= 2 && chars[i - 1] == u']' && chars[i - 2] == u']')
                    replacement = QLatin1String("&gt;");
                break;
            case u'"':
                if (escape == Escape::Attribute)
                    replacement = QLatin1String("&quot;");
                break;
            case u'\r':
                if (markup)
                    replacement = QLatin1String("&#xd;");
                break;
            case u'\n':
                if (escape == Escape::Attribute)
                    replacement = QLatin1String("&#xa;");
                break;
            case u'\t':
                if (escape == Escape::Attribute)
                    replacement = QLatin1String("&#x9;");
                break;
            default:
                invalid = true; // the other control characters
                break;
            }
        }
        if (!invalid && replacement.isEmpty())
            continue;
        out.append(QStringView(text).sliced(start, i - start));
        if (invalid)
            out.append(escape == Escape::Name ? QChar(u'_') : QChar(QChar::ReplacementCharacter));
        else
            out.append(replacement);
        start = i + 1;
    }
    out.append(QStringView(text).sliced(start));
}

// The reader lets some instruction targets through that it refuses when it reads them back (control characters
// followed by others); a saved target keeps to ASCII name characters, any other becoming "_".
void appendTarget(QString &out, const QString &target)
{
    for (qsizetype i = 0; i < target.size(); ++i) {
        const char16_t c = target[i].unicode();
        const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u':';
        const bool other = (c >= u'0' && c <= u'9') || c == u'-' || c == u'.';
        out.append(letter || (other && i > 0) ? QChar(c) : QChar(u'_'));
    }
}

bool isText(const ReplyDocument::Node *node)
{
    return node &&
           (node->kind == ReplyDocument::Kind::Text || node->kind == ReplyDocument::Kind::CData);
}

// A deeply nested reply would otherwise write blanks quadratic in its size.
constexpr int kMaxIndent = 64;

} // namespace

QString ReplyDocument::toString() const
{
    QString out;
    const auto nodeAt = [this](int i) { return i >= 0 ? &nodes_[i] : nullptr; };
    const auto indent = [&out](int depth) { out.append(QString(std::min(depth, kMaxIndent), u' ')); };
    // Closing an element: its end tag, and the line break unless text follows.
    const auto close = [&](const Node &node, int depth) {
        if (node.firstChild >= 0) {
            if (!isText(nodeAt(node.lastChild)))
                indent(depth);
            out.append(QLatin1String("</"));
            appendEscaped(out, node.name, Escape::Name);
            out.append(u'>');
        } else {
            out.append(QLatin1String("/>"));
        }
        if (!isText(nodeAt(node.next)))
            out.append(u'\n');
    };

    // Walked without recursion: a reply may nest elements deeper than the stack allows.
    int depth = 1;
    int i = nodes_[0].firstChild;
    while (i >= 0) {
        const Node &node = nodes_[i];
        switch (node.kind) {
        case Kind::Element:
            if (!isText(nodeAt(node.previous)))
                indent(depth);
            out.append(u'<');
            appendEscaped(out, node.name, Escape::Name);
            for (const Attribute &a : node.attributes) {
                out.append(u' ');
                appendEscaped(out, a.name, Escape::Name);
                out.append(QLatin1String("=\""));
                appendEscaped(out, a.value, Escape::Attribute);
                out.append(u'"');
            }
            if (node.firstChild >= 0) {
                out.append(u'>');
                if (!isText(nodeAt(node.firstChild)))
                    out.append(u'\n');
                ++depth;
                i = node.firstChild;
                continue;
            }
            close(node, depth);
            break;
        case Kind::Text:
            appendEscaped(out, node.text, Escape::Text);
            break;
        case Kind::CData:
            out.append(QLatin1String("<![CDATA["));
            appendEscaped(out, QString(node.text).replace(QLatin1String("]]>"), QLatin1String("]]]]><![CDATA[>")),
                          Escape::None);
            out.append(QLatin1String("]]>"));
            break;
        case Kind::Comment:
            if (!isText(nodeAt(node.previous)))
                indent(depth);
            out.append(QLatin1String("<!--"));
            appendEscaped(out, node.text, Escape::None);
            if (node.text.endsWith(u'-'))
                out.append(u' ');
            out.append(QLatin1String("-->"));
            if (!isText(nodeAt(node.next)))
                out.append(u'\n');
            break;
        case Kind::Doctype:
            appendEscaped(out, node.text, Escape::None);
            out.append(u'\n');
            break;
        case Kind::Instruction:
            // Never indented: the XML declaration must open the text.
            out.append(QLatin1String("<?"));
            appendTarget(out, node.name);
            out.append(u' ');
            appendEscaped(out, node.text, Escape::None);
            out.append(QLatin1String("?>"));
            if (!isText(nodeAt(node.next)))
                out.append(u'\n');
            break;
        case Kind::EntityReference:
            out.append(u'&');
            appendEscaped(out, node.name, Escape::Name);
            out.append(u';');
            break;
        case Kind::Document:
            break;
        }
        // On to the next node, closing every element whose last child this was.
        int at = i;
        while (nodes_[at].next < 0 && nodes_[at].parent > 0) {
            at = nodes_[at].parent;
            --depth;
            close(nodes_[at], depth);
        }
        i = nodes_[at].next;
    }
    return out;
}

} // namespace lumora
