// A record file taken as one block of bytes, for formats that are parsed or built whole in
// memory: nothing reaches the file unless the whole new content does.
#pragma once

#include <string>

#include "store/fileobj.h"

namespace ks {

class TRecordBytes : public TRecFile {
 public:
  // The content read when the file was opened.
  const std::string& Bytes() const { return data_; }
  // The new content of the file, written whole at Flush or Close.
  void ReplaceContent(std::string bytes) {
    data_ = std::move(bytes);
    pos_ = data_.size();
    dirty_ = true;
  }
};

}  // namespace ks
