// The letter book: Petr's five letters to Lenka, the pages shown before them and the time
// allowed for each. Czech without diacritics; every character of a letter line is typed.
#include "game/letter_book.h"

// Lines in typing order; an empty line is passed over without a key.
const char *const letter_lines[LETTER_COUNT][LINES_PER_LETTER] = {
    {   // his first letter: who he is and where he saw her
        "Mila Lenko, nezlob se, ze ti pisu, ackoliv se nezname.",
        "Jsem ten kluk, ktery kazde rano postava u",
        "dveri tramvaje a tajne se diva, jak ctes. Nevim, co",
        "je to za knihu, ale usmivas se nad ni tak krasne, ze bych ji",
        "chtel precist taky. Cele dny jsem premyslel, jak te",
        "oslovit, a nakonec jsem zvolil dopis, protoze mluvit s",
        "tebou mi zatim nejde. Smim ti obcas napsat?",
        "Kdybys mi chtela odpovedet, nech dopis v trafice. Budu rad!",
        "Tvuj Petr.",
        "",
    },
    {   // about himself, after her first answer
        "Mila Lenko, tvoje odpoved mi udelala ohromnou radost!",
        "Cetl jsem ji tolikrat, ze jsem v tramvaji prejel svou",
        "zastavku. Je mi dvacet pet a pracuji jako truhlar",
        "v dilne nad rekou. Rad delam veci ze dreva,",
        "ktere vydrzi cely zivot. Po vecerech hraju na kytaru a",
        "v nedeli chodim na dlouhou prochazku lesem.",
        "Varit sice neumim, ale palacinky zvladnu.",
        "Jakou hudbu mas rada ty? A co delas, kdyz prave necetes?",
        "Uz se tesim na tvuj dalsi dopis! Tvuj Petr.",
        "",
    },
    {   // he asks her to meet him in the park
        "Mila Lenko, mas pravdu, jsem obycejny srab.",
        "Kdyz te spatrim, busi mi srdce tak, ze nedokazu",
        "rict ani jedno slovo. Ale uz se nechci schovavat",
        "za dopisy! V sobotu odpoledne budu v parku u reky,",
        "na lavicce pod starou lipou. Prinesu i kytaru a",
        "termosku s horkym cajem. Kdyz prijdes, zahraju ti",
        "pisnicku, kterou jsem slozil jen a jen pro tebe. A pokud",
        "neprijdes, zustanu tam a budu cekat az do setmeni.",
        "Prijd! Petr.",
        "",
    },
    {   // after their first Saturday together
        "Mila Lenko, od te destive soboty nemyslim na nic jineho",
        "nez na tebe. V dilne mi vsechno pada z ruky a mistr se",
        "jen smeje, ze jsem zamilovany. Ma pravdu. Kazdy vecer,",
        "kdyz se loucime na zastavce, bych nejradsi",
        "jel s tebou dal, az na konecnou. Chci s tebou chodit",
        "lesem, pit caj pod nasi lipou a zpivat ti, i kdyz",
        "falesne. V dilne ti tajne delam krabicku na nase",
        "dopisy. Nahlas jsem ti to jeste nikdy nerekl,",
        "tak ti to pisu aspon do dopisu. Miluji te.",
        "Tvuj zamilovany Petr",
    },
    {   // before she leaves for a year
        "Mila Lenko, copak bych na tebe mohl zapomenout? Rok neni",
        "nic proti celemu zivotu, ktery chci prozit s tebou. Budu ti",
        "psat kazdy tyden, dlouhe dopisy jako ten prvni",
        "a ty mi budes odpovidat. V zime za tebou prijedu vlakem a",
        "ukazes mi to mesto u more. Budu se starat o nasi lipu a",
        "dodelam krabicku, do ktere si schovam kazdy tvuj dopis.",
        "Pockam na tebe, Lenko!",
        "A az se vratis, budu cekat na nasi zastavce s kytici a",
        "zeptam se te, jestli si mne chces vzit. Tvuj navzdy Petr.",
        "",
    },
};

// Strings 1 to 3 stand at the top of the page, 4 and 5 at the bottom; they read as one text.
const char *const intro_pages[LETTER_COUNT][INTRO_STRINGS] = {
    {   // his prologue: the girl on the morning tram
        "Kazde rano jezdim do prace stejnou tramvaji a kazde",
        "rano v ni u okna sedi ona, divka s knihou na kolenou a s",
        "tichym usmevem. Nikdy jsem nenasel odvahu ji oslovit.",
        "Vim jen, ze se jmenuje Lenka, kdysi ji tak zavolala kamaradka.",
        "A tak jsem se odhodlal psat.",
    },
    {   // her answer to the first letter
        "Mily Petre, dopis mi predala pani v trafice a tvarila se pritom tajemne.",
        "Nejdriv jsem nevedela, co si mam myslet, ale pak jsem ho cetla jeste",
        "trikrat. Ta knizka jsou povidky o lidech, kteri se hledaji.",
        "Kdo vlastne jsi? Lenka.",
        "",
    },
    {   // her answer to the second letter
        "Mily Petre, mam moc rada stare pisnicky, ktere zpivala babicka.",
        "Kdyz prave necetu, peku buchty nebo chodim se sestrou do bazenu.",
        "Musim se ti priznat, ze jsem si te uz davno vsimla. Jen se na me",
        "divas a pak rychle uhnes pohledem. Kdy mi neco reknes do oci? Lenka.",
        "",
    },
    {   // her answer to the third letter: the Saturday in the park
        "Mily Petre, ta sobota byla nadherna. Sedeli jsme pod lipou, dokud",
        "nezacalo prset, a pak jsme utikali do kavarny,",
        "mokri az na kost. Tvoje pisnicka byla krasna, jeste ted si ji",
        "pobrukuji. Jsi jeste lepsi, nez jsem si predstavovala. A",
        "pis mi dal, prosim, i kdyz se ted uz vidame kazdy den. Tvoje Lenka.",
    },
    {   // her answer to the fourth letter: she is going away
        "Mily Petre, i ja te miluji. Tvuj dopis mam pod polstarem a ctu si",
        "ho kazdy vecer. Ale musim ti rict neco, co me moc trapi. Dostala",
        "jsem stipendium a na podzim odjizdim na cely rok studovat do Kodane.",
        "Bojim se, ze na me zapomenes. Pockas na me ten rok? Tvoje Lenka.",
        "",
    },
};

// Seconds on the letter clock; each letter asks for a faster pace than the one before.
const int time_limits[LETTER_COUNT] = {332, 232, 158, 152, 122};
