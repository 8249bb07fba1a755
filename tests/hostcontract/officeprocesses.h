#pragma once

#include <QStringList>

namespace velmora::test {

// The office processes running on this program's office profile, one
// "pid command line" each (pgrep): after a test has ended its host, none.
QStringList officeProcesses();

// Kills them all (a test that left some behind on purpose cleans up).
void killOfficeProcesses();

}  // namespace velmora::test
