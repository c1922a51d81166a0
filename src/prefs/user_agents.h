// The optional user-agent list and its file uas.cfg: one agent a line, every
// line ended by CR LF, kept sorted without regard to case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orv {

inline constexpr char kUserAgentFile[] = "uas.cfg";

// The six entries the list holds until uas.cfg exists, sorted.
std::vector<std::string> InitialUserAgents();

// CR LF, a lone CR or a lone LF ends a line; a final line break adds no
// empty entry. The result is sorted.
std::vector<std::string> ParseUserAgentFile(std::string_view bytes);

std::string SerializeUserAgentFile(const std::vector<std::string>& agents);

// Case-insensitive, stable: equal entries keep their order.
void SortUserAgents(std::vector<std::string>& agents);

}  // namespace orv
