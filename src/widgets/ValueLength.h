#pragma once

#include <QValidator>

namespace kelvo {

// Lets through a text only while it fits in one value of the data file
// (kMaxValueBytes in the file's encoding): typing stops at the limit, and
// what is longer is not pasted.
class ValueLengthValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

} // namespace kelvo
