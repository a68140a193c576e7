// Reports stylesheet placement: "Reports\table.css" replaces every existing
// "table.css" below "Reports" that differs from it and is copied into
// "AppData\VQA\Reports", each copy through the card writer (whole or not at
// all, never through a link). Every failure is silent.
#pragma once

// Runs in the current directory, the card's root.
void PlaceReportStylesheets();

// Walks folder (relative to the current directory) and its subfolders,
// copying root's "table.css" over each "table.css" found outside root itself.
// Symbolic links are not followed. Changes the current directory while it
// walks; returns non-zero when it restored it, 0 when it returned early.
int RefreshStylesheetsIn(const wchar_t* root, const wchar_t* folder);
