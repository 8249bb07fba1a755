#pragma once

#include <QString>
#include <QStringList>

namespace velmora::comments {

// The sentences of the built-in library, one each, in the order of the boxes
// and their lines; the paragraph numbers of the grade pages are left off.
const QStringList& builtInSentences();

// The sentences of the teacher's own library: every entry of "Sheet1" BN, BP
// and BR, cell by cell through the connection (HostError when the host
// refuses), in the order of the entries.
QStringList readOwnSentences();

// The sentences that contain every word of the query (words separated by
// blanks, letters in either case), each text once; none for a blank query.
QStringList matchingSentences(const QStringList& sentences, const QString& query);

}  // namespace velmora::comments
