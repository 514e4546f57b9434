// The key caps of the new-key drill's current group: pending, current, typed right at once or
// after a wrong key, and after each part a mark for how it went.
#pragma once

#include <QWidget>

#include "engine/keygroups.h"

namespace ks {

class TKeyDataExt;

class TKeyGroupPicture : public QWidget {
  Q_OBJECT

 public:
  TKeyGroupPicture(const KeyGroupModel& groups, TKeyDataExt& layout, QWidget* parent = nullptr);

  int CapWidth = 40;  // per cap
  int CapSize = 36;
  int RowHeight = 40;

  // Where cap `i` is drawn.
  QRect CapRect(size_t i) const;
  // Where the mark after part `part` is drawn.
  QRect MarkRect(int part) const;
  // Draws the group anew and tells screen readers which keys it now asks for.
  void GroupChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const KeyGroupModel* groups_;
  TKeyDataExt* layout_;
};

}  // namespace ks
