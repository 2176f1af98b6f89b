// Splitting the process command line into its leading tokens.
#pragma once

// Splits line in place into at most n tokens. A token is either a run of
// non-blank characters or the text between two double quotes; the character
// that ends a token (blank or closing quote) is overwritten by NUL. Every slot
// of tokens is filled: tokens after the end of the line are empty and point at
// the terminating NUL. Returns how many of the n tokens are not empty.
int splitCommandLine(char* line, char** tokens, int n);
