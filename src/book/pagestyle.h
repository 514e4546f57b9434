// The look the pages of the book share: cards on the page, headings, numbered steps and the
// green buttons. A view sets the style sheet on its page and builds its controls with these.
#pragma once

#include <QAbstractButton>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <filesystem>
#include <string>

namespace ks {

// Message `id` of the current language.
QString msgText(int id);

enum class ButtonRole { Primary, Secondary, Link };

QLabel* makeLabel(QWidget* parent, const QString& text, double points = 10, bool bold = false,
                  const QString& colour = "#28343f");
QLabel* makeHeading(QWidget* parent, const QString& text, double points = 16);
QPushButton* makeButton(QWidget* parent, const QString& name, const QString& text,
                        ButtonRole role = ButtonRole::Secondary);
// Smaller type for a button whose caption would be cut, down to `minPoints`.
void fitButtonText(QAbstractButton* b, double minPoints);
// `text` broken into lines of at most `width` pixels in `font`, at most `lines` of them; the
// last ends in an ellipsis when the text goes on.
QStringList wrappedLines(const QString& text, const QFont& font, int width, int lines);
// Shows as much of `text` as fits in `lines` lines of the label's width, ending in an ellipsis
// when cut; all of it as tooltip.
void setElidedText(QLabel* label, const QString& text, int lines);
// Sets `text` in the label's font, made smaller (down to `minPoints`) until it fits the
// label's width; what still does not fit wraps and, beyond the label's height, is cut.
void fitText(QLabel* label, const QString& text, double minPoints);
// A picture file, without the cost of asking every image plugin about the common BMP.
QImage readPicture(const std::filesystem::path& file);
// A picture the installation or the policy names (a 1252 file name, relative to the root
// folder, else the installation folder); null when there is none.
QPixmap installationPicture(const std::string& name1252);
// A white card with a soft green border.
QFrame* makeCard(QWidget* parent, const QRect& geometry, const QString& name);
// A numbered step: a green disc with `text` in white, its corner at `at`.
QLabel* makeBadge(QWidget* parent, const QString& text, const QPoint& at);
// The style sheet of a page's content (cards, buttons, lists, combo boxes).
QString studyStyleSheet();

}  // namespace ks
