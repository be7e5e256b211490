#include "yaml_text.hpp"

#include <regex>
#include <sstream>
#include <stdexcept>

namespace orvanite_demo
{

std::string SetYamlValue(
  const std::string & text, const std::string & key, const std::string & value,
  const std::string & file)
{
  // Groups: indent and key, the old value, the comment with the blanks before it.
  const std::regex key_line("^([ \\t]*" + key + ":)[ \\t]*(\"[^\"]*\"|[^#]*?)([ \\t]*#.*)?$");
  const std::regex list_item("^[ \\t]*- .*$");
  std::istringstream in(text);
  std::string out;
  std::string line;
  int matches = 0;
  bool in_replaced_list = false;
  while (std::getline(in, line)) {
    std::smatch match;
    if (in_replaced_list && std::regex_match(line, list_item)) {
      continue;
    }
    in_replaced_list = false;
    if (std::regex_match(line, match, key_line)) {
      ++matches;
      const std::string comment =
        match[3].matched ? "  " + std::string(match[3].str()).erase(0, match[3].str().find('#'))
                         : "";
      line = match[1].str() + " " + value + comment;
      in_replaced_list = true;
    }
    out += line + "\n";
  }
  if (matches != 1) {
    throw std::runtime_error(
      file + ": key '" + key + "' found on " + std::to_string(matches) + " lines, not one");
  }
  return out;
}

std::string FlowList(const std::vector<std::string> & items)
{
  std::string out = "[";
  for (std::size_t i = 0; i < items.size(); ++i) {
    out += (i == 0 ? "" : ", ") + items[i];
  }
  return out + "]";
}

std::string Quoted(const std::string & text) { return "\"" + text + "\""; }

}  // namespace orvanite_demo
