#include "ui/blockdata.h"

#include <QTextBlock>

namespace brevant {

ResponseBlockData::~ResponseBlockData()
{
    if (totals && totals->generation == generation) {
        totals->words -= words;
        totals->characters -= characters;
    }
}

ResponseBlockData *ResponseBlockData::of(const QTextBlock &block)
{
    if (auto *data = static_cast<ResponseBlockData *>(block.userData()))
        return data;
    auto *data = new ResponseBlockData;
    const_cast<QTextBlock &>(block).setUserData(data);
    return data;
}

} // namespace brevant
