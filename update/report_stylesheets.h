// Reports stylesheet placement: after a pass has fetched "table.css", the new
// "Reports\table.css" replaces every existing "table.css" below "Reports" and
// is copied into "AppData\VQA\Reports". Every failure is silent.
#pragma once

// Runs in the current directory, the card's root.
void PlaceReportStylesheets();

// Walks folder (relative to the current directory) and its subfolders,
// copying root's "table.css" over each "table.css" found outside root itself.
// Symbolic links are not followed. Changes the current directory while it
// walks; returns non-zero when it restored it, 0 when it returned early.
int RefreshStylesheetsIn(const wchar_t* root, const wchar_t* folder);
