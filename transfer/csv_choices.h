// The choices both CSV dialogs offer (encodings, separators) and how a fault is worded.
#pragma once

#include <vector>

#include <QString>

#include "transfer/core/csv_reader.h"

class QComboBox;

namespace tabulor {

std::vector<transfer::FileEncoding> importEncodings();
// UTF-8 with its mark first: spreadsheet applications need the mark to read UTF-8.
std::vector<transfer::FileEncoding> exportEncodings();

void addEncodings(QComboBox& box, const std::vector<transfer::FileEncoding>& encodings);
void selectEncoding(QComboBox& box, transfer::FileEncoding encoding);
transfer::FileEncoding chosenEncoding(const QComboBox& box);

void addSeparators(QComboBox& box, const std::vector<char>& separators);
void selectSeparator(QComboBox& box, char separator);
char chosenSeparator(const QComboBox& box);

// "第 N 行：" and the reason, or the reason alone when no line is named.
QString faultText(const transfer::CsvFault& fault);

}  // namespace tabulor
