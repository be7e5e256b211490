// Edits of YAML text that keep every comment and the key order of a shipped file: one value is
// replaced where its key stands, the rest of the text is left byte for byte.
#ifndef ORVANITE_DEMO__YAML_TEXT_HPP_
#define ORVANITE_DEMO__YAML_TEXT_HPP_

#include <string>
#include <vector>

namespace orvanite_demo
{

// The text with the value of the one line "<indent><key>: <value>  # comment" replaced by
// `value` (YAML text, quoted by the caller where needed); a block list that follows the key is
// dropped. Throws std::runtime_error naming `file` and `key` when the key is not on exactly one
// line.
std::string SetYamlValue(
  const std::string & text, const std::string & key, const std::string & value,
  const std::string & file);

// "[a, b, c]" of the given YAML items.
std::string FlowList(const std::vector<std::string> & items);

// A double-quoted YAML string (the texts here hold no quote or backslash).
std::string Quoted(const std::string & text);

}  // namespace orvanite_demo

#endif  // ORVANITE_DEMO__YAML_TEXT_HPP_
