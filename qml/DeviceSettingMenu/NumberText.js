.pragma library

// Numbers as the user types them into the settings fields. Both "." and ","
// are taken as the decimal separator whatever the locale (a Russian keyboard
// has "," on the numeric pad's neighbour and "." on the pad itself), spaces and
// the non-breaking group separator are ignored, "-" or the typographic minus
// sign negate. Anything else is no number.

var spaces = /[\s\u00a0\u202f]/g

// The value in units of 10^-decimals (tenths for decimals = 1), or NaN when
// the text is not a number. More decimals than the field keeps give
// undefined: such a number is refused rather than rounded.
function parseScaled(text, decimals) {
    var t = String(text).replace(spaces, "").replace("\u2212", "-")
    var match = /^([-+]?)(\d*)(?:[.,](\d*))?$/.exec(t)
    if (!match || (match[2] === "" && (match[3] === undefined || match[3] === "")))
        return NaN
    var fraction = match[3] || ""
    if (fraction.length > decimals)
        return undefined
    while (fraction.length < decimals)
        fraction += "0"
    // Whole digits and fraction digits joined: exact, no floating-point
    // rounding on the way (12.5 is 125 tenths, not 124.99999).
    var scaled = Number((match[2] || "0") + fraction)
    return match[1] === "-" && scaled !== 0 ? -scaled : scaled
}

// The value (in units of 10^-decimals) with the locale's decimal point and no
// group separators, so that what is shown can be typed back as it stands.
function formatScaled(scaled, decimals, decimalPoint) {
    var text = (scaled / Math.pow(10, decimals)).toFixed(decimals)
    return decimalPoint ? text.replace(".", decimalPoint) : text
}

// What a field lets the user type: a sign, digits and spaces, one separator
// and digits after it. Whether that is a number the field takes is decided
// when the text is committed, so that nothing typed is silently dropped.
function typingPattern() {
    // Built from a string so that the minus sign and the spaces reach the
    // validator as characters, not as escapes it does not know.
    return new RegExp("^[-+\u2212]?[0-9 \u00a0\u202f]*([.,][0-9]*)?$")
}
