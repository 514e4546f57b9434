#include "text/fields.h"

namespace ks {
namespace {

std::vector<std::string> split(std::string_view line, std::string_view separators,
                               size_t extraSeparatorAt) {
  const auto isSeparator = [&](size_t i) {
    return separators.find(line[i]) != std::string_view::npos || i == extraSeparatorAt;
  };
  std::vector<std::string> fields;
  std::string field;
  for (size_t i = 0; i < line.size(); ++i) {
    // A "%" before a separator escapes it.
    if (line[i] == '%' && i + 1 < line.size() && isSeparator(i + 1)) {
      field += line[i + 1];
      ++i;
    } else if (isSeparator(i)) {
      if (!field.empty()) fields.push_back(std::move(field));
      field.clear();
    } else {
      field += line[i];
    }
  }
  if (!field.empty()) fields.push_back(std::move(field));
  return fields;
}

}  // namespace

std::vector<std::string> splitFields(std::string_view line, std::string_view separators) {
  return split(line, separators, std::string_view::npos);
}

std::vector<std::string> splitEventFields(std::string_view line) {
  size_t eq = line.find('=');
  size_t semi = line.find(';');
  size_t extra = (eq != std::string_view::npos && eq < semi) ? eq : std::string_view::npos;
  return split(line, ";", extra);
}

std::string escapeField(std::string_view field, std::string_view separators) {
  std::string out;
  for (char c : field) {
    if (separators.find(c) != std::string_view::npos) out += '%';
    out += c;
  }
  return out;
}

}  // namespace ks
