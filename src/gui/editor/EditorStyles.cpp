// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/editor/EditorStyles.h"

#include <Qsci/qsciscintillabase.h>

namespace quelvo {

namespace {

using Base = QsciScintillaBase;

struct Attribute {
  unsigned get;
  unsigned set;
};

constexpr Attribute kAttributes[] = {
    {Base::SCI_STYLEGETFORE, Base::SCI_STYLESETFORE},
    {Base::SCI_STYLEGETBACK, Base::SCI_STYLESETBACK},
    {Base::SCI_STYLEGETSIZEFRACTIONAL, Base::SCI_STYLESETSIZEFRACTIONAL},
    {Base::SCI_STYLEGETWEIGHT, Base::SCI_STYLESETWEIGHT},
    {Base::SCI_STYLEGETITALIC, Base::SCI_STYLESETITALIC},
    {Base::SCI_STYLEGETUNDERLINE, Base::SCI_STYLESETUNDERLINE},
    {Base::SCI_STYLEGETEOLFILLED, Base::SCI_STYLESETEOLFILLED},
    {Base::SCI_STYLEGETCHARACTERSET, Base::SCI_STYLESETCHARACTERSET},
    {Base::SCI_STYLEGETCASE, Base::SCI_STYLESETCASE},
    {Base::SCI_STYLEGETVISIBLE, Base::SCI_STYLESETVISIBLE},
    {Base::SCI_STYLEGETCHANGEABLE, Base::SCI_STYLESETCHANGEABLE},
    {Base::SCI_STYLEGETHOTSPOT, Base::SCI_STYLESETHOTSPOT},
};
static_assert(sizeof kAttributes / sizeof kAttributes[0] == std::tuple_size<decltype(EditorStyle::values)>::value,
              "one value per attribute");

}  // namespace

EditorStyles SaveEditorStyles(const QsciScintillaBase& editor) {
  EditorStyles styles(Base::STYLE_LASTPREDEFINED + 1);
  for (unsigned long s = 0; s < styles.size(); ++s) {
    for (std::size_t a = 0; a < styles[s].values.size(); ++a)
      styles[s].values[a] = editor.SendScintilla(kAttributes[a].get, s);
    QByteArray font(256, '\0');
    editor.SendScintilla(Base::SCI_STYLEGETFONT, s, font.data());
    styles[s].font = QByteArray(font.constData());
  }
  return styles;
}

void RestoreEditorStyles(QsciScintillaBase& editor, const EditorStyles& styles) {
  for (unsigned long s = 0; s < styles.size(); ++s) {
    for (std::size_t a = 0; a < styles[s].values.size(); ++a)
      editor.SendScintilla(kAttributes[a].set, s, styles[s].values[a]);
    editor.SendScintilla(Base::SCI_STYLESETFONT, s, styles[s].font.constData());
  }
}

}  // namespace quelvo
