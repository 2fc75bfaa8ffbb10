// The template catalogue, the remembered default template and the scan of the
// current template for its fields.
#pragma once

#include "base/path_buffer.h"
#include "core/conversion_failure.h"
#include "settings/converter_state.h"

// Relative name of the default-template file inside the program folder.
extern const char kDefaultTemplateFile[];
// Template name used when the catalogue is empty.
extern const char kFallbackTemplateName[];

// Fills state.templates with the ".html" files (any case) of the templates
// folder, each once, sorted by name without regard to letter case (letters as
// capitals, as NTFS lists names; names that differ only in case in byte order), followed by those
// of the user's templates folder (settings_location.h) whose names are not listed yet, sorted
// alike. Makes the templates folder the current directory. A missing or unreadable folder gives an
// empty catalogue (never another folder's files). False only without a state.
bool ScanTemplates(ConverterState* state);

// True when templateName is an entry of the catalogue.
bool IsInCatalogue(const ConverterState* state);

// Records a kNoTemplates failure naming the templates folder; returns false.
bool SetNoTemplatesFailure(ConversionFailure& failure);

// templateName becomes the first catalogue entry, or "generic.html" when the
// catalogue is empty. False only without a state.
bool ChooseFirstTemplate(ConverterState* state);

// templateName becomes the first line of the default-template file. False (name
// kept) when the file cannot be read, holds no line break, or names a template
// that is not in the catalogue; a file of another user is not read, and `foreign`
// (when given) then names it. `remembered` (when given) receives the name the file
// holds, also when it is not in the catalogue (empty when there is none).
bool LoadDefaultTemplate(ConverterState* state, ConversionFailure* foreign = nullptr,
                         StringBuffer* remembered = nullptr);

// Writes templateName and a line break whole to the default-template file
// (creating the "Defaults" folder when missing). A name that is not in the
// catalogue is not written (true). False when the file cannot be written; the
// failure (when given) then names the file and the system's reason, and an
// existing file is unchanged.
bool SaveDefaultTemplate(ConverterState* state, ConversionFailure* failure = nullptr);

// Empties the field lists and fills them from the current template's text.
// False (no fields) when the template cannot be read.
bool ScanTemplateFields(ConverterState* state);

// The same for the template file at path, wherever it lies.
bool ScanTemplateFieldsAt(ConverterState* state, const PathBuffer& path);
