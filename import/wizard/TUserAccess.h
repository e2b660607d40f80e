#pragma once

namespace ks {

enum TImportRestriction : int { irDisabled = 0, irReadOnly = 1, irReadWrite = 2 };

// Which wizard controls the user may see (irDisabled hides them) and change.
struct TUserAccess {
    bool Specification = true; // the "Specifications..." button
    TImportRestriction TableType = irReadWrite;
    TImportRestriction SourceFileName = irReadWrite;
    TImportRestriction TextType = irReadWrite;
    TImportRestriction FieldDelimiter = irReadWrite;
    TImportRestriction TextQualifier = irReadWrite;
    TImportRestriction RecordSeparator = irReadWrite;
    TImportRestriction FirstRow = irReadWrite;
    TImportRestriction LastRow = irReadWrite;
    TImportRestriction FieldAdjustment = irReadWrite;
    TImportRestriction FieldMapping = irReadWrite;
    TImportRestriction PreviewData = irReadWrite;
    TImportRestriction ImportMode = irReadWrite;
};

} // namespace ks
