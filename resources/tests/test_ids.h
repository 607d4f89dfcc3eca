// Resources that only the resource tests carry.
#pragma once

#define IDT_MISSING_PNG 4999  // no resource has this number
#define IDT_EMPTY_PNG 4990
#define IDT_NOT_AN_IMAGE 4991
#define IDT_TRUNCATED_PNG 4992
