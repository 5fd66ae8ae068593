#pragma once

#include <QDate>
#include <QString>
#include <QtGlobal>

namespace fb {
class Connection;
}

// A made-up translation agency for trying the program, for demonstrations and
// for benchmarks: customers and translators with Slovak names, language
// combinations, units, rates, users and jobs spread over ten years.
//
// The same number of jobs and the same random start always give the same
// database: the generator draws from std::mt19937 (whose output the C++
// standard fixes) through its own distributions, never through the std::
// distributions, whose results differ between library versions.

struct SampleCounts {
    int users = 0;
    int units = 0;
    int combinations = 0;
    int contacts = 0;
    int rates = 0;
    int jobs = 0;
};

constexpr quint32 kSampleRandomStart = 20261201;

// The day the sample agency's register ends: jobs lie in the ten years before
// it, and the most recent ones are still open (not delivered, not invoiced).
QDate SampleReferenceDate();

// The users written by FillSampleData besides the administrator, with their
// passwords, for the tool's printout ("JN jana, MK marek, ...").
QString SampleUserPasswords();

// Fills a database at the current schema version. Runs in one transaction of
// its own, committed every few thousand rows; throws fb::Error on failure (the
// rows committed so far stay).
SampleCounts FillSampleData(fb::Connection& connection, int jobs, quint32 randomStart = kSampleRandomStart);

// Fills a database at schema version 0 the way the old program stored its
// rows: text language combinations and units, prices in Slovak crowns before
// 2009, rates as crowns per unit of the job currency, integer payment methods.
// Jobs lie in the ten years before 1 December 2012. Used to measure and try
// the migration of a large old register.
SampleCounts FillLegacySample(fb::Connection& connection, int jobs, quint32 randomStart = kSampleRandomStart);
