#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// Arithmetic over a row's columns for a layout's computed columns, such as
// "opQty + pQty - PreQty - SaleQty + SRetQty" or "ClosingQty * AvgCost": numbers, names,
// + - * /, parentheses and abs(...). Compiled once into a little stack program; evaluating it does no
// lookups by name. A division by zero gives 0, as a printed report would rather show.
class Expression
{
public:
    // Throws Failure describing the first mistake.
    [[nodiscard]] static Expression parse(const QString &text);

    // The names used, in order of first use; evaluate() reads them by this position.
    [[nodiscard]] const QStringList &names() const { return m_names; }

    template<typename ValueOf> [[nodiscard]] double evaluate(ValueOf valueOf) const
    {
        double stack[32];
        int top = -1;
        for (const Step &s : m_program) {
            switch (s.op) {
            case Op::Number:
                stack[++top] = s.number;
                break;
            case Op::Name:
                stack[++top] = valueOf(s.name);
                break;
            case Op::Negate:
                stack[top] = -stack[top];
                break;
            case Op::Abs:
                stack[top] = stack[top] < 0 ? -stack[top] : stack[top];
                break;
            default: {
                const double b = stack[top--];
                double &a = stack[top];
                a = s.op == Op::Add        ? a + b
                    : s.op == Op::Subtract ? a - b
                    : s.op == Op::Multiply ? a * b
                                           : (b == 0 ? 0 : a / b);
            }
            }
        }
        return top == 0 ? stack[0] : 0.0;
    }

private:
    enum class Op { Number, Name, Add, Subtract, Multiply, Divide, Negate, Abs };
    struct Step
    {
        Op op;
        double number = 0;
        int name = -1;
    };
    class Parser;

    std::vector<Step> m_program;
    QStringList m_names;
};
