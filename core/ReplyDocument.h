#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <memory>
#include <vector>

namespace lumora
{

class ReplyDocument;

// A handle to an element of a ReplyDocument; it keeps the document alive, as QDomElement does.
class ReplyElement
{
public:
    ReplyElement() = default;

    bool isNull() const { return !doc_; }
    QString tagName() const;
    bool hasAttribute(QStringView name) const { return findAttribute(name) != nullptr; }
    QString attribute(QStringView name, const QString &defaultValue = {}) const;
    // The value, or nullptr when the element lacks the attribute.
    const QString *findAttribute(QStringView name) const;
    // Replaces the value of an attribute the element has; otherwise adds it after the others.
    void setAttribute(const QString &name, const QString &value);

    // The first child element, or the first one with that name; null when there is none.
    ReplyElement firstChildElement(QStringView name = {}) const;
    ReplyElement nextSiblingElement() const;

private:
    friend class ReplyDocument;
    ReplyElement(std::shared_ptr<ReplyDocument> doc, int index) : doc_(std::move(doc)), index_(index) {}

    std::shared_ptr<ReplyDocument> doc_;
    int index_ = -1;
};

// A reply as its XML reader saw it: elements with their attributes in document order, text, CDATA, comments,
// processing instructions (the XML declaration among them) and the document type declaration as written. Text of
// blanks and line breaks only is dropped. Built in one pass of QXmlStreamReader, which is several times cheaper than QDomDocument
// for a page of a thousand rows.
class ReplyDocument : public std::enable_shared_from_this<ReplyDocument>
{
public:
    struct Attribute {
        QString name;
        QString value;
    };
    enum class Kind : quint8 { Document, Doctype, Element, Text, CData, Comment, Instruction, EntityReference };
    struct Node {
        Kind kind = Kind::Document;
        int parent = -1;
        int firstChild = -1;
        int lastChild = -1;
        int previous = -1;
        int next = -1;
        QString name; // element name, instruction target or entity name
        QString text; // text, comment, instruction data or the whole document type declaration
        QList<Attribute> attributes;
    };

    // Throws LumoraError with the reader's message and position when the text is not well-formed.
    static std::shared_ptr<ReplyDocument> Parse(const QString &text);

    ReplyElement documentElement();
    // The text written as data.xml: every top-level node, elements indented by one blank a level.
    QString toString() const;

    const std::vector<Node> &nodes() const { return nodes_; }

private:
    friend class ReplyElement;
    int append(int parent, Kind kind);

    std::vector<Node> nodes_{Node{}}; // node 0 is the document itself
};

} // namespace lumora
