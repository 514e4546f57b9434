#include "text/fields.h"

#include <array>

namespace ks {
namespace {

std::vector<std::string> split(std::string_view line, std::string_view separators,
                               size_t extraSeparatorAt) {
  // Course and result files are split line by line by the thousand: a table instead of a search
  // per character, and plain characters copied in runs.
  std::array<bool, 256> separator{};
  for (char c : separators) separator[static_cast<unsigned char>(c)] = true;
  const auto isSeparator = [&](size_t i) {
    return separator[static_cast<unsigned char>(line[i])] || i == extraSeparatorAt;
  };
  std::vector<std::string> fields;
  std::string field;
  size_t run = 0;  // the plain characters from here on are not in `field` yet
  for (size_t i = 0; i < line.size(); ++i) {
    // A "%" before a separator escapes it.
    if (line[i] == '%' && i + 1 < line.size() && isSeparator(i + 1)) {
      field.append(line.substr(run, i - run));
      field += line[i + 1];
      ++i;
      run = i + 1;
    } else if (isSeparator(i)) {
      if (field.empty()) {
        if (i > run) fields.emplace_back(line.substr(run, i - run));
      } else {
        field.append(line.substr(run, i - run));
        fields.push_back(std::move(field));
        field.clear();
      }
      run = i + 1;
    }
  }
  field.append(line.substr(run));
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
