#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <vector>

namespace lumora
{

// One node of an XmlDocument. Attributes keep their order, which QDomDocument does not.
struct XmlNode {
    enum Kind { Element, Text, CData, Comment, ProcessingInstruction, DocumentType };

    Kind kind = Element;
    QString name; // element name, or the target of a processing instruction
    QString text; // text, comment, instruction data, or the whole document type declaration
    QList<QPair<QString, QString>> attributes;
    std::vector<XmlNode> children;

    bool hasAttribute(const QString &attribute) const;
    QString attribute(const QString &attribute, bool *present = nullptr) const;
    // An existing attribute keeps its place; a new one goes last.
    void setAttribute(const QString &attribute, const QString &value);

    // First element child of that name, or nullptr. The pointer lives until children are added or removed.
    XmlNode *firstChildElement(const QString &elementName);
    XmlNode &appendElement(const QString &elementName);
};

// The settings file as read and written back: everything we do not touch (comments, other elements, the order of
// attributes, the encoding declaration) comes out as it went in.
class XmlDocument
{
public:
    // Decodes the bytes in the declared encoding (without a declaration: UTF-8 when valid, else GBK), then parses.
    bool load(const QByteArray &bytes);
    // Parses text that is already Unicode; the declaration is kept but not used for decoding.
    bool setContent(const QString &text);
    // Empty document element of that name, with an encoding declaration.
    void reset(const QString &rootName, const QString &encoding);

    QString toString() const;
    // Encoded in the declared encoding, UTF-8 without a declaration.
    QByteArray save() const;

    bool isNull() const { return rootIndex_ < 0; }
    XmlNode *documentElement();
    QString errorString() const { return error_; }
    QString encoding() const { return encoding_; }

    // The encoding named by the declaration at the start of the bytes, or empty.
    static QString declaredEncoding(const QByteArray &bytes);
    // The text of the bytes as load() reads it.
    static QString decode(const QByteArray &bytes);

private:
    bool hasDeclaration_ = false;
    QString version_;
    QString encoding_;
    bool standalone_ = false;
    std::vector<XmlNode> nodes_; // top level, in order; exactly one element when loaded
    int rootIndex_ = -1;
    QString error_;
};

} // namespace lumora
