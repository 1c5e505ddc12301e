// Dialog controls of the simulated device: built from the dialog template, they keep their
// text, a combo box's entries and selection, and a check box's state.
#include "platform/dialog.h"
#include "tests/fake/log.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <cwctype>

using fake::device;
using fake::Log;

namespace {

// Dialog units to pixels for a 6 x 13 character cell.
LONG Horizontal(short units) {
    return units * 6 / 4;
}
LONG Vertical(short units) {
    return units * 13 / 8;
}

// A name or ordinal field of a template: 0 (none), 0xFFFF and an ordinal, or text.
const WORD *SkipField(const WORD *field, std::wstring *text = nullptr) {
    if (*field == 0xFFFF)
        return field + 2;
    const wchar_t *start = reinterpret_cast<const wchar_t *>(field);
    if (text)
        *text = start;
    return field + std::wcslen(start) + 1;
}

const WORD *AlignToDword(const WORD *at) {
    auto address = reinterpret_cast<ULONG_PTR>(at);
    return reinterpret_cast<const WORD *>((address + 3) & ~ULONG_PTR(3));
}

std::wstring PredefinedClass(WORD atom) {
    switch (atom) {
    case 0x80:
        return L"Button";
    case 0x81:
        return L"Edit";
    case 0x82:
        return L"Static";
    case 0x83:
        return L"ListBox";
    case 0x84:
        return L"ScrollBar";
    case 0x85:
        return L"ComboBox";
    default:
        return L"#" + std::to_wstring(atom);
    }
}

fake::Window *Item(HWND dialog, int id) {
    for (fake::Window &w : device().windows)
        if (!w.destroyed && w.parent == dialog && w.id == id && w.handle)
            return &w;
    return nullptr;
}

bool IsComboBox(const fake::Window &w) {
    return fake::Lower(w.className) == L"combobox";
}

// The text a control shows: a drop-down list shows its selected entry.
std::wstring TextOf(const fake::Window &w) {
    if (!IsComboBox(w))
        return w.title;
    if (w.selection < 0 || w.selection >= static_cast<int>(w.items.size()))
        return L"";
    return w.items[w.selection];
}

LRESULT CopyOut(const std::wstring &text, LPWSTR out, size_t capacity) {
    if (!out || capacity == 0)
        return 0;
    size_t length = std::min(text.size(), capacity - 1);
    text.copy(out, length);
    out[length] = L'\0';
    return static_cast<LRESULT>(length);
}

LRESULT AddString(fake::Window &combo, const wchar_t *text) {
    auto &items = combo.items;
    auto at = items.end();
    if (combo.style & CBS_SORT)
        at = std::upper_bound(items.begin(), items.end(), fake::Lower(text),
                              [](const std::wstring &name, const std::wstring &entry) {
                                  return name < fake::Lower(entry);
                              });
    int index = static_cast<int>(at - items.begin());
    items.insert(at, text);
    if (combo.selection >= index)
        ++combo.selection;
    return index;
}

LRESULT Handle(fake::Window &w, UINT message, WPARAM wParam, LPARAM lParam) {
    auto text = reinterpret_cast<LPWSTR>(lParam);
    int index = static_cast<int>(wParam);
    bool valid = index >= 0 && index < static_cast<int>(w.items.size());
    switch (message) {
    case WM_SETTEXT:
        w.title = text ? text : L"";
        return TRUE;
    case WM_GETTEXT:
        return CopyOut(TextOf(w), text, wParam);
    case CB_ADDSTRING:
        return AddString(w, text);
    case CB_GETCOUNT:
        return static_cast<LRESULT>(w.items.size());
    case CB_SETCURSEL:
        w.selection = valid ? index : -1;
        return valid ? index : CB_ERR;
    case CB_GETCURSEL:
        return w.selection;
    case CB_GETLBTEXTLEN:
        return valid ? static_cast<LRESULT>(w.items[index].size()) : CB_ERR;
    case CB_GETLBTEXT:
        return valid ? CopyOut(w.items[index], text, w.items[index].size() + 1) : CB_ERR;
    case BM_SETCHECK:
        w.check = wParam;
        return 0;
    case BM_GETCHECK:
        return static_cast<LRESULT>(w.check);
    default:
        return 0;
    }
}

// As the system reads a number: blanks around it, an optional minus sign when signed, digits;
// anything else, or a value out of range, is no number.
bool ParseNumber(const std::wstring &text, bool isSigned, UINT *value) {
    size_t at = text.find_first_not_of(L' ');
    if (at == std::wstring::npos)
        return false;
    bool negative = isSigned && text[at] == L'-';
    if (negative)
        ++at;
    unsigned long long number = 0;
    size_t digits = 0;
    for (; at < text.size() && std::iswdigit(text[at]); ++at, ++digits) {
        number = number * 10 + (text[at] - L'0');
        if (number > UINT_MAX)
            return false;
    }
    if (digits == 0 || text.find_first_not_of(L' ', at) != std::wstring::npos)
        return false;
    if (isSigned && number > (negative ? 0x80000000ull : 0x7FFFFFFFull))
        return false;
    *value = static_cast<UINT>(negative ? 0 - number : number);
    return true;
}

} // namespace

namespace fake {

void CreateDialogItems(HWND dialog, LPCDLGTEMPLATEW dialogTemplate) {
    auto *words = reinterpret_cast<const WORD *>(dialogTemplate);
    // Only the plain template form, which the resource compiler makes of a DIALOG.
    if (!words || (words[0] == 1 && words[1] == 0xFFFF))
        return;
    const DLGTEMPLATE *head = dialogTemplate;
    const WORD *at = reinterpret_cast<const WORD *>(head + 1);
    at = SkipField(at); // menu
    at = SkipField(at); // class
    at = SkipField(at); // title
    if (head->style & DS_SETFONT)
        at = SkipField(at + 1); // point size, face name
    for (WORD n = 0; n < head->cdit; ++n) {
        at = AlignToDword(at);
        DLGITEMTEMPLATE item;
        std::memcpy(&item, at, sizeof item);
        at = reinterpret_cast<const WORD *>(reinterpret_cast<const BYTE *>(at) + sizeof item);
        std::wstring className = at[0] == 0xFFFF ? PredefinedClass(at[1]) : L"";
        at = SkipField(at, &className);
        std::wstring text;
        at = SkipField(at, &text);
        at = reinterpret_cast<const WORD *>(reinterpret_cast<const BYTE *>(at + 1) + *at);

        HWND control = OpenWindow(className, text);
        Window *w = Find(control);
        w->parent = dialog;
        w->style = item.style;
        w->visible = (item.style & WS_VISIBLE) != 0;
        w->id = static_cast<short>(item.id);
        w->rect = RECT{Horizontal(item.x), Vertical(item.y), Horizontal(item.x + item.cx),
                       Vertical(item.y + item.cy)};
        // A closed drop-down list is one line high; its template height includes the list.
        if (className == L"ComboBox")
            w->rect.bottom = w->rect.top + Vertical(12);
    }
}

} // namespace fake

namespace plat {

HWND GetDlgItem(HWND dialog, int id) {
    Log(L"GetDlgItem", dialog, id);
    fake::Window *w = Item(dialog, id);
    return w ? w->handle : nullptr;
}

LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    Log(L"SendDlgItemMessageW", dialog, id, message, wParam, lParam);
    fake::Window *w = Item(dialog, id);
    return w ? Handle(*w, message, wParam, lParam) : 0;
}

UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR text, int capacity) {
    Log(L"GetDlgItemTextW", dialog, id);
    fake::Window *w = Item(dialog, id);
    if (capacity <= 0)
        return 0;
    return static_cast<UINT>(CopyOut(w ? TextOf(*w) : L"", text, capacity));
}

UINT GetDlgItemInt(HWND dialog, int id, BOOL *translated, BOOL isSigned) {
    Log(L"GetDlgItemInt", dialog, id);
    fake::Window *w = Item(dialog, id);
    UINT value = 0;
    bool ok = w && ParseNumber(TextOf(*w), isSigned, &value);
    if (translated)
        *translated = ok;
    return ok ? value : 0;
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
    Log(L"SetDlgItemInt", dialog, id, value, isSigned);
    fake::Window *w = Item(dialog, id);
    if (!w)
        return FALSE;
    w->title = isSigned ? std::to_wstring(static_cast<int>(value)) : std::to_wstring(value);
    return TRUE;
}

} // namespace plat
