#pragma once

#include <QString>
#include <QtGlobal>

// A whole amount in Slovak words, written together without spaces, as amounts
// are spelled out on invoices and payment orders ("suma slovom"):
// 1234 gives "jedentisícdvestotridsaťštyri". Zero (and anything below it) gives
// the empty text; above 19 999 999 999 the text "!!!!! veľké číslo !!!!!".
// Pure: no state, safe from any thread.
QString NumToWords(qint64 n);

// The largest number NumToWords spells out.
constexpr qint64 kNumToWordsLimit = 19'999'999'999LL;
