#include "output/SampleLabels.h"

namespace SampleLabels {

const Labels::Kind &kind()
{
    static const Labels::Kind k{QStringLiteral("样品标签"), QStringLiteral("frMain"),
                                QStringLiteral("GoodMain"), QStringLiteral("样品")};
    return k;
}

} // namespace SampleLabels
