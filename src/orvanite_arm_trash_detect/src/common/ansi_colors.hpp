// ANSI escape sequences that colour log messages. A coloured message joins the colour, the text
// and kReset into its format string: LOG_INFO(kBoldGreen + "ready: {}" + kReset, name).
#ifndef ORVANITE_ARM_TRASH_DETECT__COMMON__ANSI_COLORS_HPP_
#define ORVANITE_ARM_TRASH_DETECT__COMMON__ANSI_COLORS_HPP_

#include <string>

inline const std::string kBoldGreen = "\033[1;32m";
inline const std::string kBoldRed = "\033[1;31m";
inline const std::string kBoldYellow = "\033[1;33m";
inline const std::string kBoldMagenta = "\033[1;35m";
inline const std::string kBoldBlue = "\033[1;34m";
inline const std::string kBoldCyan = "\033[1;36m";
inline const std::string kReset = "\033[0m";
inline const std::string kGreen = "\033[0;32m";
inline const std::string kRed = "\033[0;31m";
inline const std::string kYellow = "\033[0;33m";
inline const std::string kMagenta = "\033[0;35m";
inline const std::string kBlue = "\033[0;34m";
inline const std::string kCyan = "\033[0;36m";
inline const std::string kDimGreen = "\033[2;32m";
inline const std::string kDimRed = "\033[2;31m";
inline const std::string kDimYellow = "\033[2;33m";
inline const std::string kDimMagenta = "\033[2;35m";
inline const std::string kDimBlue = "\033[2;34m";
inline const std::string kDimCyan = "\033[2;36m";
inline const std::string kBgBlack = "\033[40m";
inline const std::string kBgRed = "\033[41m";
inline const std::string kBgGreen = "\033[42m";
inline const std::string kBgYellow = "\033[43m";
inline const std::string kBgBlue = "\033[44m";
inline const std::string kBgMagenta = "\033[45m";
inline const std::string kBgCyan = "\033[46m";
inline const std::string kBgWhite = "\033[47m";
inline const std::string kUnderline = "\033[4m";
inline const std::string kReverse = "\033[7m";
inline const std::string kBold = "\033[1m";
inline const std::string kDim = "\033[2m";
inline const std::string kItalic = "\033[3m";
inline const std::string kBlink = "\033[5m";

#endif  // ORVANITE_ARM_TRASH_DETECT__COMMON__ANSI_COLORS_HPP_
