// Reading an instrument's answer: the check and the line split, in small pieces as a serial
// line delivers them and in one piece, and the list shown for many tests.
#include "testlist.h"
#include "wire.h"

#include <benchmark/benchmark.h>

namespace {

QList<QByteArray> answerLines(int count)
{
    QList<QByteArray> lines;
    for (int i = 0; i < count; ++i)
        lines.append(QByteArray::number(100 + i % 900) + " 0" + QByteArray::number(i % 1000) +
                     " J04 JTN");
    return lines;
}

void readAnswer(benchmark::State &state)
{
    const QByteArray frame = Wire::answerFrame(answerLines(int(state.range(0))));
    const qsizetype piece = state.range(1);
    for (auto _ : state) {
        Wire::TAnswerReader reader;
        for (qsizetype at = 0; at < frame.size(); at += piece)
            reader.feed(frame.mid(at, piece));
        if (reader.state() != Wire::TAnswerReader::Complete)
            state.SkipWithError("answer not complete");
        benchmark::DoNotOptimize(reader.lineCount());
    }
    state.SetBytesProcessed(state.iterations() * frame.size());
}
BENCHMARK(readAnswer)->Args({10000, 512})->Args({100000, 512})->Args({100000, 1 << 30});

void listLines(benchmark::State &state)
{
    QStringList answer;
    for (int i = 0; i < state.range(0); ++i)
        answer.append(QStringLiteral("%1 102 004 017 0025 03 05 04 12 10 35").arg(i));
    for (auto _ : state)
        benchmark::DoNotOptimize(TestListLines(answer).size());
}
BENCHMARK(listLines)->Arg(1000)->Arg(10000);

} // namespace

BENCHMARK_MAIN();
