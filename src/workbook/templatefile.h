#pragma once

#include <QString>

namespace velmora {

// The template workbook that a first start copies to the workbook's place:
// the file installed beside the program, in the data folder that the build
// names relative to the program's folder (/usr/bin/velmora reads
// /usr/share/velmora/Velmoravm2.1.xls, build/bin/velmora the build's
// build/share/velmora/Velmoravm2.1.xls). The path is returned whether or not
// a file is there.
QString templateFile();

}  // namespace velmora
