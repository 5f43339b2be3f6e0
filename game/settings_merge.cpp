#include "game/settings_merge.h"

#include <map>
#include <sstream>
#include <vector>

namespace {

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// "[name]" (comment allowed after it) -> name; "" for any other line.
std::string SectionOf(const std::string& line) {
  const std::string bare = Trim(line.substr(0, line.find('#')));
  if (bare.size() < 2 || bare.front() != '[' || bare.back() != ']') return "";
  return Trim(bare.substr(1, bare.size() - 2));
}

// "name = value # comment" -> name; "" for any other line.
std::string NameOf(const std::string& line) {
  const std::string bare = line.substr(0, line.find('#'));
  const size_t equals = bare.find('=');
  return equals == std::string::npos ? "" : Trim(bare.substr(0, equals));
}

// The value part of the line replaced, the name, spacing and comment kept.
std::string WithValue(const std::string& line, const std::string& value) {
  const size_t equals = line.find('=');
  const size_t hash = line.find('#', equals);
  std::string comment;
  if (hash != std::string::npos) {
    // Keep the gap before the comment the player chose.
    size_t gap = hash;
    while (gap > equals + 1 && (line[gap - 1] == ' ' || line[gap - 1] == '\t')) --gap;
    comment = line.substr(gap);
  }
  return line.substr(0, equals + 1) + " " + value + comment;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

struct Section {
  std::string name;
  std::vector<std::string> lines;             // the whole block as the game writes it
  std::vector<std::string> order;             // its settings' names in order
  std::map<std::string, std::string> values;  // name -> value
};

std::vector<Section> SectionsOf(const std::string& complete) {
  std::vector<Section> sections;
  for (const std::string& line : Lines(complete)) {
    if (const std::string name = SectionOf(line); !name.empty()) sections.push_back({name, {}, {}, {}});
    if (sections.empty()) continue;  // the file's heading belongs to no section
    Section& section = sections.back();
    section.lines.push_back(line);
    if (const std::string name = NameOf(line); !name.empty() && SectionOf(line).empty()) {
      const std::string bare = line.substr(0, line.find('#'));
      section.order.push_back(name);
      section.values[name] = Trim(bare.substr(bare.find('=') + 1));
    }
  }
  for (Section& section : sections)
    while (!section.lines.empty() && Trim(section.lines.back()).empty()) section.lines.pop_back();
  return sections;
}

Section* Find(std::vector<Section>& sections, const std::string& name) {
  for (Section& section : sections)
    if (section.name == name) return &section;
  return nullptr;
}

}  // namespace

std::string MergeSettingsText(const std::string& existing, const std::string& complete) {
  std::vector<Section> sections = SectionsOf(complete);
  std::map<std::string, bool> seen_section;
  std::map<std::string, std::map<std::string, bool>> written;
  std::vector<std::string> out;
  Section* current = nullptr;
  // The settings of the section just left that its text lacked, after its last setting line.
  size_t last_setting = 0;
  auto close_section = [&] {
    if (!current) return;
    std::vector<std::string> missing;
    for (const std::string& name : current->order)
      if (!written[current->name][name]) missing.push_back(name + " = " + current->values[name]);
    out.insert(out.begin() + static_cast<std::ptrdiff_t>(last_setting), missing.begin(), missing.end());
  };
  for (const std::string& line : Lines(existing)) {
    if (const std::string name = SectionOf(line); !name.empty()) {
      close_section();
      current = Find(sections, name);
      if (current) seen_section[name] = true;
      out.push_back(line);
      last_setting = out.size();
      continue;
    }
    const std::string name = NameOf(line);
    if (current && !name.empty() && current->values.count(name)) {  // every copy: the last one read wins
      out.push_back(WithValue(line, current->values[name]));
      written[current->name][name] = true;
    } else {
      out.push_back(line);
    }
    if (!name.empty()) last_setting = out.size();
  }
  close_section();
  for (const Section& section : sections) {
    if (seen_section[section.name]) continue;
    if (!out.empty() && !Trim(out.back()).empty()) out.push_back("");
    out.insert(out.end(), section.lines.begin(), section.lines.end());
  }
  std::string text;
  for (const std::string& line : out) text += line + "\n";
  return text;
}
