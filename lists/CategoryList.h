#pragma once

#include <QString>
#include <QStringList>

namespace lumora
{

// The user's categories as one text, one per line (CR LF between lines). Every category box reads it; it is
// written by the download at sign-in, by TForm_nb on "保存", and from nb1.txt when it is still empty.
// User-interface thread only.
extern QString CategoryListText;

// Lines the way a text list reads them: CR LF, a lone CR and a lone LF each end a line, and a break at the very
// end adds no empty last item. Empty lines in between stay items.
QStringList SplitCategoryLines(const QString &text);

// The first line: the text before the first CR (or LF), the whole text when it has no break. A new record line
// takes it as its category.
QString FirstCategory(const QString &text);

// Lines joined by CR LF, each line ended by one (the form nb1.txt has); no lines give the empty text.
QString JoinCategoryLines(const QStringList &lines);

// ExeFolder() + "nb1.txt".
QString CategoryFilePath();

// Reads nb1.txt (GBK) as a list text ended by CR LF. Returns false, and leaves text empty, when it cannot be read.
bool ReadCategoryFile(const QString &path, QString &text);

// Writes the lines in GBK, each ended by CR LF, replacing the file. False when it could not be written.
bool WriteCategoryFile(const QString &path, const QStringList &lines);

// The upload request lines up to "input_user=", each ended by CR LF; "type1=" is appended by the caller.
QString CategoryUploadHead();
// The "type1=" line for a list text: Base64 of its GBK bytes in one line.
QString CategoryUploadTypeLine(const QString &listText);

} // namespace lumora
