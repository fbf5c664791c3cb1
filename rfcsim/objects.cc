#include "rfcsim/objects.h"

#include <algorithm>

namespace rfcsim {

RfcTypeHandle TypeHandles::Issue(std::string_view structure) {
  for (std::size_t i = 0; i < structures_.size(); ++i) {
    if (structures_[i] == structure) return kFirstTypeHandle + static_cast<RfcTypeHandle>(i);
  }
  structures_.emplace_back(structure);
  return kFirstTypeHandle + static_cast<RfcTypeHandle>(structures_.size() - 1);
}

const std::string* TypeHandles::StructureOf(RfcTypeHandle handle) const {
  if (handle < kFirstTypeHandle || handle - kFirstTypeHandle >= structures_.size()) {
    return nullptr;
  }
  return &structures_[handle - kFirstTypeHandle];
}

InternalTable* InternalTables::Create(std::string_view name, uint32_t line_length) {
  InternalTable& table = tables_.emplace_back();
  table.name = std::string(name);
  table.line_length = line_length;
  return &table;
}

InternalTable* InternalTables::Find(RfcTableHandle handle) {
  for (InternalTable& table : tables_) {
    if (&table == handle) return &table;
  }
  return nullptr;
}

void InternalTables::Fill(InternalTable* table, const std::vector<std::string>& lines) {
  table->bytes.assign(static_cast<std::size_t>(table->line_length) * lines.size(), '\0');
  for (std::size_t i = 0; i < lines.size(); ++i) {
    lines[i].copy(table->bytes.data() + i * table->line_length,
                  std::min<std::size_t>(lines[i].size(), table->line_length));
  }
  table->line_count = static_cast<uint32_t>(lines.size());
}

void InternalTables::Delete(InternalTable* table) {
  table->live = false;
  table->line_count = 0;
  table->bytes.clear();
  table->bytes.shrink_to_fit();
}

}  // namespace rfcsim
