#pragma once

#include "report/Labels.h"

// Labels for sample boxes: the templates "样品标签*.frf" over the main list's samples (data set
// frMain).
namespace SampleLabels {

const Labels::Kind &kind();

} // namespace SampleLabels
