#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <optional>

namespace velmora::test {

// An .xls file as the independent reader xlrd sees it (see xlsread.py):
// {"datemode": 0|1, "sheets": [names in order], "active": sheet index,
//  "cells": {sheet: {"A1": [kind, value]}}},
// or nullopt when Debian's python3-xlrd is not installed.
std::optional<QJsonObject> readWithXlrd(const QString& path);
// One cell of that reading: ["text", "abc"], ["number", 12], or empty.
QJsonArray xlrdCell(const QJsonObject& reading, const QString& sheet, const QString& address);

}  // namespace velmora::test
