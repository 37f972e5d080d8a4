// The texts the world shows: string-table labels, looked up through the one table the
// simulation is given (SetStringTable). The application object owns the table; the game's
// start-up points the simulation at it, and tests at a table of their own. Without a table a
// label stands for itself. Main thread only.
#pragma once

#include "foundation/str.h"

class TStringTable;

// The table is borrowed: it must outlive its use here, or be unset with null.
void SetStringTable(const TStringTable* table);
const TStringTable* GetStringTable();

// The label's text; the label itself when the table answers exactly "#####" or there is no
// table.
str GetLocalizedText(const str& label);

// With "$PARAM1$" in text: every "$PARAM1$" becomes param1 and every "$PARAM2$" param2.
// Otherwise, with appendIfMissing, a blank and param1 are appended; else text is unchanged.
str FormatParams(const str& text, bool appendIfMissing, const str& param1,
                 const str& param2 = str());
