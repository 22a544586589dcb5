#include "widgets/ValueLength.h"

#include "storage/TextCodec.h"
#include "storage/ValueLimit.h"

namespace kelvo {

QValidator::State ValueLengthValidator::validate(QString& input, int&) const {
    return encodeFileText(input.toStdString()).size() <= kMaxValueBytes ? Acceptable : Invalid;
}

} // namespace kelvo
