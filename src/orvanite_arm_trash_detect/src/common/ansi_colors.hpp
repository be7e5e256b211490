// ANSI escape sequences that colour log messages. A coloured message joins the colour, the text
// and kReset into its format string: LOG_INFO(kBoldGreen + "ready: {}" + kReset, name).
#ifndef ORVANITE_ARM_TRASH_DETECT__COMMON__ANSI_COLORS_HPP_
#define ORVANITE_ARM_TRASH_DETECT__COMMON__ANSI_COLORS_HPP_

#include <string>

const std::string kBoldGreen = "\033[1;32m";
const std::string kBoldRed = "\033[1;31m";
const std::string kBoldYellow = "\033[1;33m";
const std::string kBoldMagenta = "\033[1;35m";
const std::string kBoldBlue = "\033[1;34m";
const std::string kBoldCyan = "\033[1;36m";
const std::string kReset = "\033[0m";
const std::string kGreen = "\033[0;32m";
const std::string kRed = "\033[0;31m";
const std::string kYellow = "\033[0;33m";
const std::string kMagenta = "\033[0;35m";
const std::string kBlue = "\033[0;34m";
const std::string kCyan = "\033[0;36m";
const std::string kDimGreen = "\033[2;32m";
const std::string kDimRed = "\033[2;31m";
const std::string kDimYellow = "\033[2;33m";
const std::string kDimMagenta = "\033[2;35m";
const std::string kDimBlue = "\033[2;34m";
const std::string kDimCyan = "\033[2;36m";
const std::string kBgBlack = "\033[40m";
const std::string kBgRed = "\033[41m";
const std::string kBgGreen = "\033[42m";
const std::string kBgYellow = "\033[43m";
const std::string kBgBlue = "\033[44m";
const std::string kBgMagenta = "\033[45m";
const std::string kBgCyan = "\033[46m";
const std::string kBgWhite = "\033[47m";
const std::string kUnderline = "\033[4m";
const std::string kReverse = "\033[7m";
const std::string kBold = "\033[1m";
const std::string kDim = "\033[2m";
const std::string kItalic = "\033[3m";
const std::string kBlink = "\033[5m";

#endif  // ORVANITE_ARM_TRASH_DETECT__COMMON__ANSI_COLORS_HPP_
