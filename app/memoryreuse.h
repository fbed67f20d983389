#pragma once
// Keeps the memory of large freed blocks in the program for the next ones.
//
// A transfer's log goes through blocks of a megabyte and more: the lines of
// a batch, and the log pane's text, which its document copies whenever old
// lines have been dropped. By default the C library gives such blocks back to
// the system when they are freed, and the next one costs a page fault per
// 4 KiB touched, which took longer than the log's own work. Called first
// thing in main(); it changes where memory comes from, never what is stored.
void keepFreedMemoryForReuse();
