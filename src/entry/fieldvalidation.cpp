#include "fieldvalidation.h"

#include "amountformat.h"

FieldValidation validateFieldText(FieldCatalogue::Group group, const QString& text)
{
    const FieldCatalogue::GroupRules& rules = FieldCatalogue::rules(group);
    if (!rules.validated)
        return { true, text, QString() };
    const std::optional<double> value = AmountFormat::parse(text);
    if (!value)
        return { false, QStringLiteral("0"), rules.rejection };
    if (!rules.rewriteAsCurrency)
        return { true, text, QString() };
    return { true, AmountFormat::currencyForm(*value), QString() };
}
