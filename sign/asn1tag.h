#pragma once

// Universal tag numbers of the ASN.1 types that seals and signed values use.
enum EN_Asn1Tag
{
    EN_Asn1Tag_None = 0,
    EN_Asn1Tag_Boolean = 1,
    EN_Asn1Tag_Integer = 2,
    EN_Asn1Tag_BitString = 3,
    EN_Asn1Tag_OctetString = 4,
    EN_Asn1Tag_Null = 5,
    EN_Asn1Tag_ObjectIdentifier = 6,
    EN_Asn1Tag_Utf8String = 12,
    EN_Asn1Tag_Sequence = 16,
    EN_Asn1Tag_Set = 17,
    EN_Asn1Tag_PrintableString = 19,
    EN_Asn1Tag_IA5String = 22,
    EN_Asn1Tag_UtcTime = 23,
    EN_Asn1Tag_GeneralizedTime = 24
};
