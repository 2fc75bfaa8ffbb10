// The --help of krn2html-convert: the reference of every option, then where this copy reads
// the remembered template and values from.
#pragma once

// Writes the help to standard output.
void WriteConvertHelp();
