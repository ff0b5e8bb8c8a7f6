// The class is signals only; this file gives its meta-object a home.
#include "model/TableChanges.h"
